# Dashboard benchmark, run after the boot of fieldwish-sim (modules loaded,
# nothing started). Figures go to standard error; standard output carries
# HidCommand's trace and is thrown away by the driver.
#  1. two simulated hours of polling at 10 Hz (the dashboard's clock run
#     fast), recording on, 1 h window, one display frame per simulated second:
#     memory (VmRSS) and canvas items every ten simulated minutes; the first
#     hour fills the window, the second is the steady state;
#  2. frame time with the window full: 10 s against 1 h, 4 channels at 10 Hz,
#     the two windows in alternating rounds;
#  3. poll throughput: the dashboard's loop against a bare HidCommand loop,
#     with the in-process instrument answering at once and about 1 ms late.
lassign $argv work
source [file join [file dirname [info script]] measure.tcl]



::dash::settings::setFolder [file join $work settings]
::dash::app::start
::dash::link::stop
::dash::ui::stopDisplay
::dash::settings::put recordDir [file join $work recordings]
wm geometry . 1100x680
update

set ::simNow [clock milliseconds]
proc ::dash::now {} { return $::simNow }

proc frame {} {
    set t0 [clock microseconds]
    ::dash::live::refresh
    # update, not update idletasks: window events must be read as the
    # event loop would, or they pile up in Xlib's queue.
    update
    expr {([clock microseconds] - $t0) / 1000.0}
}

# 1. The simulated hour.
::dash::ui::setRecording 1
::dash::live::setWindow 3600
set wall [clock milliseconds]
say "two simulated hours, 10 Hz, recording, 1 h window, one frame per simulated second:"
say [format "  %6s %10s %8s %10s" minute "RSS kB" items "frame ms"]
set baseline 0
for {set i 1} {$i <= 72000} {incr i} {
    ::dash::link::step
    incr ::simNow 100
    if {$i % 10 == 0} { set ms [frame] }
    if {$i % 6000 == 0} {
        set rss [rssKb]
        if {$i == 6000} { set baseline $rss }
        if {$i == 36000} { set hourMark $rss }
        say [format "  %6d %10d %8d %10.2f" [expr {$i / 600}] $rss [::dash::chart::itemCount [::dash::live::chart]] $ms]
    }
}
say [format "  growth: minute 10 to 60 (window filling) %d kB, minute 60 to 120 (window full) %d kB" \
    [expr {$hourMark - $baseline}] [expr {[rssKb] - $hourMark}]]
say [format "  samples %d; rows written %d; wall time %.1f s" \
    [dict get [::dash::link::stats] samples] [::dash::record::rows] \
    [expr {([clock milliseconds] - $wall) / 1000.0}]]

# 2. Frame time, one new frame between display frames, window full. The two
# windows take turns in rounds, so that a burst of load on a shared machine
# falls on both; the first frames after a switch (which rebuilds the columns
# from the history) are not counted.
set rounds 12
set perRound 40
set times(10) {}
set times(3600) {}
set ratios {}
for {set r 0} {$r < $rounds} {incr r} {
    set order [expr {$r % 2 ? {3600 10} : {10 3600}}]
    foreach window $order {
        ::dash::live::setWindow $window
        for {set i 0} {$i < 5} {incr i} { ::dash::link::step; incr ::simNow 100; frame }
        set these {}
        for {set i 0} {$i < $perRound} {incr i} {
            ::dash::link::step
            incr ::simNow 100
            lappend these [frame]
        }
        set roundMedian($window) [percentile $these 0.5]
        lappend times($window) {*}$these
    }
    lappend ratios [expr {$roundMedian(3600) / $roundMedian(10)}]
}
foreach window {10 3600} {
    set median($window) [percentile $times($window) 0.5]
    say [format "frame time, %4d s window: median %.2f ms, p95 %.2f ms, max %.2f ms (%d frames in %d rounds)" \
        $window $median($window) [percentile $times($window) 0.95] [percentile $times($window) 1.0] \
        [llength $times($window)] $rounds]
}
say [format "  1 h window / 10 s window: ratio of the medians %.2f, median of the rounds' ratios %.2f" \
    [expr {$median(3600) / $median(10)}] [percentile $ratios 0.5]]
::dash::ui::setRecording 0

# 3. Throughput on the wall clock, the dashboard's clock going on from the
# simulated one: a bare HidCommand loop against the dashboard polling as
# fast as it can (poll period 0, display at 15 Hz), without and with
# recording, in turns; then the same with the instrument answering after a
# USB-like latency (each reply one empty read late, which HidCommand meets
# with its 1 ms pause).
set ::shift [expr {$::simNow - [clock milliseconds]}]
proc ::dash::now {} { expr {[clock milliseconds] + $::shift} }
# A poll period of 0 is no setting a user may make (10 ms at least): the
# link is handed it here alone.
rename ::dash::settings::get ::dash::settings::BenchGet
proc ::dash::settings::get {key} {
    if {$key eq "pollMs"} { return 0 }
    ::dash::settings::BenchGet $key
}
::dash::live::setWindow 60

proc bareRate {ms} {
    set n 0
    set end [expr {[clock milliseconds] + $ms}]
    while {[clock milliseconds] < $end} { HidCommand 77; incr n }
    expr {$n * 1000.0 / $ms}
}

proc dashRate {ms record} {
    if {$record} { ::dash::ui::setRecording 1 }
    set before [dict get [::dash::link::stats] exchanges]
    ::dash::link::start
    ::dash::ui::startDisplay
    after $ms {set ::done 1}
    vwait ::done
    ::dash::link::stop
    ::dash::ui::stopDisplay
    if {$record} { ::dash::ui::setRecording 0 }
    expr {([dict get [::dash::link::stats] exchanges] - $before) * 1000.0 / $ms}
}

foreach {delay label} {0 "in-process instrument, no latency" 1 "instrument answering one poll late (about 1 ms)"} {
    SimInstrument delay $delay
    set rate(bare) {}
    set rate(dash) {}
    set rate(rec) {}
    for {set r 0} {$r < 3} {incr r} {
        lappend rate(bare) [bareRate 2000]
        lappend rate(dash) [dashRate 2000 0]
        lappend rate(rec) [dashRate 2000 1]
    }
    set bare [percentile $rate(bare) 0.5]
    set dash [percentile $rate(dash) 0.5]
    set rec [percentile $rate(rec) 0.5]
    say "poll throughput, $label (medians of 3 turns of 2 s):"
    say [format "  bare HidCommand loop %.0f/s; dashboard %.0f/s (ratio %.2f); dashboard recording CSV %.0f/s (ratio %.2f)" \
        $bare $dash [expr {$dash / $bare}] $rec [expr {$rec / $bare}]]
}
SimInstrument delay 0
exit 0
