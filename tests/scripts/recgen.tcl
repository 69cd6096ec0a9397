# Generated recordings for the review's tests and benchmarks, written as the
# recorder writes them: NAME.csv (UTF-8 with BOM, CRLF, the header, one row
# per frame) and NAME.events.csv (info rows, start, alarms, gaps, markers,
# stop). The values are a function of the frame number (rawValues), so that
# a test can recompute anything from the frame number or from the file.
#   ::recgen::write DIR NAME ?-rows N? ?-start MS? ?-periodMs MS? ?-gaps LIST?
#                   ?-markers LIST? ?-onRow CMD? ?-serial TEXT?
# -gaps: {{ROW MS} ...}: before frame ROW the instrument was away MS ms.
# -markers: {{ROW NOTE} ...}. -onRow CMD: called as the recorder's listeners
# are, with open PATH, row PATH OFFSET T RUN SEQ RAW, close PATH.
# Answers a dict: csv, events, rows, start, end (ms), alarms ({row value}
# where an alarm of channel 0 starts).

namespace eval ::recgen {
    variable header "time,run,sequence,Temperature (\u00b0C),Humidity (%RH),Pressure (hPa),Offset"
    variable scales {0.01 0.1 0.1 1}
    variable digits {2 1 1 0}
}

# rawValues i --
#	The raw values of frame I: a slow wave on channel 0 that passes 30
#	degrees near its peaks, small saw teeth on the others.
proc ::recgen::rawValues {i} {
    list [expr {2150 + round(900 * sin($i * 6.283185307179586 / 36000.0)) + ($i * 7919) % 41 - 20}] \
        [expr {455 + $i % 7}] [expr {10132 - $i % 10}] [expr {-100 + 10 * ($i % 21)}]
}

# timeText ms --
#	MS as the recorder writes it.
proc ::recgen::timeText {ms} {
    variable second
    variable secondText
    set s [expr {$ms / 1000}]
    if {![info exists second] || $second != $s} {
        set zone [clock format $s -format %z]
        set secondText [list [clock format $s -format %Y-%m-%dT%H:%M:%S] \
            "[string range $zone 0 2]:[string range $zone 3 4]"]
        set second $s
    }
    format %s.%03d%s [lindex $secondText 0] [expr {$ms % 1000}] [lindex $secondText 1]
}

# csvField text --
#	TEXT quoted as RFC 4180 wants.
proc ::recgen::csvField {text} {
    if {[regexp {[",\r\n]} $text]} { return "\"[string map {\" \"\"} $text]\"" }
    return $text
}

proc ::recgen::write {dir name args} {
    variable header
    variable scales
    variable digits
    set o [dict merge [dict create -rows 600 -start [expr {[clock seconds] * 1000 - 86400000}] \
        -periodMs 100 -gaps {} -markers {} -onRow "" -serial SN-0042] $args]
    set rows [dict get $o -rows]
    set t [dict get $o -start]
    set period [dict get $o -periodMs]
    set onRow [dict get $o -onRow]
    array set gapAt {}
    foreach g [dict get $o -gaps] { set gapAt([lindex $g 0]) [lindex $g 1] }
    array set markAt {}
    foreach m [dict get $o -markers] { set markAt([lindex $m 0]) [lindex $m 1] }
    file mkdir $dir
    set csv [file join $dir $name.csv]
    set evPath [file join $dir $name.events.csv]
    set f [open $csv w]
    fconfigure $f -encoding utf-8 -translation crlf -buffering full -buffersize 262144
    puts $f \ufeff$header
    flush $f
    set offset [tell $f]
    if {$onRow ne ""} { uplevel #0 [list {*}$onRow open $csv] }
    set ev [open $evPath w]
    fconfigure $ev -encoding utf-8 -translation crlf
    puts $ev \ufefftime,run,sequence,event,channel,value,detail
    set t0 $t
    foreach {key value} [list program "fieldwish 0.1" product "Field Sensor FS-4" serial [dict get $o -serial] \
            firmware 1.4.2 pollMs $period \
            channels "Temperature (\u00b0C);Humidity (%RH);Pressure (hPa);Offset" \
            limits "10..30;30..70;950..1050;-90..90" rotation none] {
        puts $ev [join [list [timeText $t] "" "" info $key "" [csvField $value]] ,]
    }
    puts $ev [join [list [timeText $t] "" "" start "" "" user] ,]
    set format "%s,%d,%d,%.2f,%.1f,%.1f,%.0f"
    set run 1
    set seq 0
    set alarm 0
    set alarms {}
    for {set i 0} {$i < $rows} {incr i} {
        if {[info exists gapAt($i)]} {
            puts $ev [join [list [timeText [expr {$t - $period + 10}]] $run $seq unplug "" "" ""] ,]
            incr t $gapAt($i)
            incr run
            set seq 0
            puts $ev [join [list [timeText [expr {$t - 5}]] $run "" replug "" "" ""] ,]
        }
        set raw [rawValues $i]
        set row [format $format [timeText $t] $run $seq {*}[lmap v $raw s $scales { expr {$v * $s} }]]
        puts $f $row
        if {$onRow ne ""} { uplevel #0 [list {*}$onRow row $csv $offset $t $run $seq $raw] }
        incr offset [expr {[string length $row] + 2}]
        # Hysteresis, as the alarms have: on above 30, off below 29.5.
        set hot [expr {[lindex $raw 0] > 3000 || ($alarm && [lindex $raw 0] >= 2950)}]
        if {$hot && !$alarm} {
            puts $ev [join [list [timeText $t] $run $seq alarm-start Temperature \
                [format %.2f [expr {[lindex $raw 0] * 0.01}]] "> 30"] ,]
            lappend alarms [list $i [lindex $raw 0]]
        } elseif {!$hot && $alarm} {
            puts $ev [join [list [timeText $t] $run $seq alarm-end Temperature 30.00 "\"> 30; 1.0 s\""] ,]
        }
        set alarm $hot
        if {[info exists markAt($i)]} {
            puts $ev [join [list [timeText $t] $run $seq marker "" "" [csvField $markAt($i)]] ,]
        }
        set last $t
        incr t $period
        incr seq
    }
    puts $ev [join [list [timeText $last] $run [expr {$seq - 1}] stop "" "" user] ,]
    close $f
    close $ev
    if {$onRow ne ""} { uplevel #0 [list {*}$onRow close $csv] }
    dict create csv $csv events $evPath rows $rows start $t0 end $last alarms $alarms
}
