# Cost per frame of the recording path in plain tclsh: the recorder's
# listener of the link (::dash::record::linkEvent frame ...) writing rows to
# a real file, N frames at a time, median of 3 rounds. Run by
# bench/recording-bench.sh:
#   tclsh recording_bench.tcl SCRIPTS WORK ?BEFORE?
# SCRIPTS is the source tree's scripts folder; BEFORE, when given, an older
# dashRecord.itcl to measure the same way ("before"). Figures on standard
# output: microseconds of CPU per frame.
lassign $argv scripts work before
set frames 20000
set rounds 3

proc cpuSeconds {} {
    set f [open /proc/self/stat]
    set fields [split [lindex [split [read $f] )] 1]]
    close $f
    expr {([lindex $fields 12] + [lindex $fields 13]) / 100.0}
}

# A fresh interpreter with the dashboard's modules NAMES from SCRIPTS, the
# recorder from RECORDER, and SETUP run in it.
proc recorder {label recorder modules setup} {
    global scripts work
    set i [interp create]
    foreach name $modules {
        $i eval [list source -encoding utf-8 [file join $scripts $name.itcl]]
    }
    $i eval [list source -encoding utf-8 $recorder]
    $i eval [list ::dash::settings::setFolder [file join $work settings-$label]]
    $i eval {
        ::dash::settings::restore
        proc ::dash::report {text {level info}} {}
    }
    $i eval $setup
    return $i
}

# Microseconds of CPU per frame in the interpreter I, median of the rounds.
proc perFrame {i label} {
    global frames rounds work
    set results {}
    for {set r 0} {$r < $rounds} {incr r} {
        set dir [file join $work $label-$r]
        $i eval [list ::dash::record::start $dir]
        set t [clock milliseconds]
        set cpu [cpuSeconds]
        $i eval [list apply {{n t} {
            for {set s 0} {$s < $n} {incr s} {
                ::dash::record::linkEvent frame [incr t 100] 1 $s {2150 455 10132 -100}
            }
        }} $frames $t]
        lappend results [expr {([cpuSeconds] - $cpu) * 1e6 / $frames}]
        $i eval ::dash::record::stop
        file delete -force $dir
    }
    lindex [lsort -real $results] [expr {$rounds / 2}]
}

set now {}
puts "recording path, CPU per frame ($frames frames a round, median of $rounds rounds):"
if {$before ne ""} {
    set i [recorder before $before {dashCore dashSettings} {}]
    puts [format "  before (a row flushed per frame):                      %6.1f us" [perFrame $i before]]
    interp delete $i
}
set modules {dashCore dashSettings dashLink dashRecording}
set i [recorder after [file join $scripts dashRecord.itcl] $modules {}]
puts [format "  now, with events, rotation and the integrity record:   %6.1f us (SHA-256 in %s)" \
    [perFrame $i after] [$i eval {lindex [::sha2::Implementations] 0}]]
interp delete $i
set i [recorder summary [file join $scripts dashRecord.itcl] \
    [concat $modules dashRecfile dashSeries dashSummary] {
    ::dash::record::listen ::dash::summary::recordEvent
}]
puts [format "  now, with the review's summary kept beside it:          %6.1f us" [perFrame $i summary]]
interp delete $i
set i [recorder nodigest [file join $scripts dashRecord.itcl] $modules {
    ::dash::recording::requireDigest
    proc ::sha2::SHA256Update {token data} {}
}]
puts [format "  now, its SHA-256 left out:                             %6.1f us" [perFrame $i nodigest]]
interp delete $i
