# Review benchmark, run after the boot of fieldwish-sim. Figures go to
# standard error.
#  1. recordings of 1 h, 24 h and N days at 10 Hz, written with their summary
#     as the recorder's listener keeps it;
#  2. each opened: the time until the whole file is drawn, the memory held;
#  3. redraws at spans from the whole file down to 10 s, at random places,
#     and pans: median and largest time per span, against the file's length;
#  4. the 24 h file without its summary: indexed in slices, rows per second,
#     while the dashboard polls the instrument at 10 Hz: the largest delay of
#     a poll beyond its period, while indexing and while redrawing.
lassign $argv work recgen days
source $recgen
proc say {text} { puts stderr $text }
proc rssKb {} {
    if {[catch {open /proc/self/status} f]} { return -1 }
    set text [read $f]
    close $f
    if {[regexp -line {^VmRSS:\s+(\d+)} $text -> kb]} { return $kb }
    return -1
}
proc percentile {values p} {
    set sorted [lsort -real $values]
    lindex $sorted [expr {int($p * ([llength $sorted] - 1))}]
}

::dash::settings::setFolder [file join $work settings]
::dash::app::start
::dash::link::stop
::dash::ui::stopDisplay
set recDir [file join $work recordings]
::dash::settings::put recordDir $recDir
wm geometry . 1100x680
[::dash::ui::widget tabs] select [::dash::ui::widget review]
update
set chart [::dash::review::chart]

set start [expr {([clock seconds] / 86400 - $days - 2) * 86400000}]
set files {}
foreach {name rows} [list 1h 36000 24h 864000 ${days}d [expr {$days * 864000}]] {
    set t0 [clock milliseconds]
    set r [::recgen::write $recDir fieldwish_$name -rows $rows -start $start -gaps {{20000 60000}} \
        -onRow ::dash::summary::recordEvent]
    say [format "generated %-4s %8d rows, CSV %7.1f MB, summary %6.1f MB, in %.0f s" $name $rows \
        [expr {[file size [dict get $r csv]] / 1e6}] \
        [expr {[file size [::dash::summary::summaryPath [dict get $r csv]]] / 1e6}] \
        [expr {([clock milliseconds] - $t0) / 1000.0}]]
    lappend files $name [dict get $r csv] $rows
}

proc openTimed {csv} {
    set t0 [clock microseconds]
    ::dash::review::openFile $csv
    while {![llength [::dash::rchart::sources $::chart]]} {
        after 1 {set ::tick 1}
        vwait ::tick
    }
    ::dash::rchart::redraw $::chart
    update
    expr {([clock microseconds] - $t0) / 1000.0}
}

say "\nopening (summary beside the file) and redrawing, plot [winfo width $chart] px wide:"
say [format "  %-4s %10s %10s | %s" file "open ms" "held MB" "redraw ms by span (median/max of 10)"]
foreach {name csv rows} $files {
    ::dash::review::closeAll
    update
    set before [rssKb]
    set openMs [openTimed $csv]
    set held [expr {([rssKb] - $before) / 1024.0}]
    lassign [::dash::rchart::range $chart] a b
    set text ""
    expr {srand(1)}
    foreach span {0 86400000 3600000 600000 60000 10000} label {whole 1d 1h 10min 1min 10s} {
        if {$span > $b - $a} continue
        set times {}
        for {set i 0} {$i < 10} {incr i} {
            if {$span == 0} {
                ::dash::rchart::whole $chart
            } else {
                set from [expr {$a + rand() * ($b - $a - $span)}]
                ::dash::rchart::setRange $chart $from [expr {$from + $span}]
            }
            lappend times [::dash::rchart::redraw $chart]
            ::dash::rchart::pan $chart 0.3
            lappend times [::dash::rchart::redraw $chart]
        }
        append text [format " %s %.1f/%.1f" $label [percentile $times 0.5] [percentile $times 1.0]]
    }
    say [format "  %-4s %10.1f %10.1f |%s" $name $openMs $held $text]
}

# 4. The 24 h file indexed without its summary while polling at 10 Hz.
set csv [lindex $files 4]
::dash::review::closeAll
file rename [::dash::summary::summaryPath $csv] $csv.saved
set ::polls {}
proc pollSeen {kind args} { if {$kind eq "frame"} { lappend ::polls [clock microseconds] } }
::dash::link::listen pollSeen
::dash::settings::put pollMs 100
::dash::link::start
after 1000 {set ::tick 1}; vwait ::tick
proc maxDelay {} {
    set worst 0
    foreach a [lrange $::polls 0 end-1] b [lrange $::polls 1 end] {
        set worst [expr {max($worst, ($b - $a) / 1000.0 - 100)}]
    }
    return $worst
}
set ::polls {}
after 3000 {set ::tick 1}; vwait ::tick
set idle [maxDelay]
set ::polls {}
set t0 [clock microseconds]
set ::opened 0
::dash::review::openFile $csv
while {![llength [::dash::rchart::sources $chart]]} { after 5 {set ::tick 1}; vwait ::tick }
set secs [expr {([clock microseconds] - $t0) / 1e6}]
set indexing [maxDelay]
say [format "\nindexing the 24 h file without summary: %.1f s, %.0f rows/s (%.1f MB/s); polls %d" \
    $secs [expr {864000 / $secs}] [expr {[file size $csv] / 1e6 / $secs}] [llength $::polls]]
set ::polls {}
for {set i 0} {$i < 30} {incr i} {
    ::dash::rchart::zoom $chart [expr {$i % 2 ? 0.3 : 3.0}]
    after 40 {set ::tick 1}; vwait ::tick
}
set redrawing [maxDelay]
say [format "largest poll delay beyond its 100 ms period: idle %.1f ms, while indexing %.1f ms, while zooming %.1f ms" \
    $idle $indexing $redrawing]
::dash::link::stop
exit 0
