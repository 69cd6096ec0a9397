# Dashboard benchmark, run after the boot of fieldwish-sim (modules loaded,
# nothing started). Figures go to standard error; standard output carries
# HidCommand's trace and is thrown away by the driver.
#  1. two simulated hours of polling at 10 Hz (the dashboard's clock run
#     fast), recording on, 1 h window, one display frame per simulated second:
#     memory (VmRSS) and canvas items every ten simulated minutes; the first
#     hour fills the window, the second is the steady state;
#  2. frame time with the window full: 10 s against 1 h, 4 channels at 10 Hz;
#  3. poll throughput: the dashboard's loop against a bare HidCommand loop.
lassign $argv work
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

set ::dash::settings::dir [file join $work settings]
::dash::start
::dash::link::stop
after cancel $::dash::ui::displayTimer
::dash::settings::put recordDir [file join $work recordings]
wm geometry . 1100x680
update

set ::simNow [clock milliseconds]
proc ::dash::now {} { return $::simNow }

proc frame {} {
    set t0 [clock microseconds]
    ::dash::chart::draw
    ::dash::ui::refreshCards
    # update, not update idletasks: window events must be read as the
    # event loop would, or they pile up in Xlib's queue.
    update
    expr {([clock microseconds] - $t0) / 1000.0}
}

# 1. The simulated hour.
set ::dash::ui::recording 1
::dash::ui::recordChanged
::dash::chart::setWindow 3600
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
        say [format "  %6d %10d %8d %10.2f" [expr {$i / 600}] $rss [::dash::chart::itemCount] $ms]
    }
}
say [format "  growth: minute 10 to 60 (window filling) %d kB, minute 60 to 120 (window full) %d kB" \
    [expr {$hourMark - $baseline}] [expr {[rssKb] - $hourMark}]]
say [format "  samples %d; rows written %d; wall time %.1f s" \
    $::dash::link::stats(samples) $::dash::record::rows \
    [expr {([clock milliseconds] - $wall) / 1000.0}]]

# 2. Frame time, one new frame between display frames, window full.
foreach window {10 3600} {
    ::dash::chart::setWindow $window
    set times {}
    for {set i 0} {$i < 300} {incr i} {
        ::dash::link::step
        incr ::simNow 100
        lappend times [frame]
    }
    set median($window) [percentile $times 0.5]
    say [format "frame time, %4d s window: median %.2f ms, p95 %.2f ms, max %.2f ms (300 frames)" \
        $window $median($window) [percentile $times 0.95] [percentile $times 1.0]]
}
say [format "  1 h window / 10 s window (medians): %.2f" [expr {$median(3600) / $median(10)}]]
set ::dash::ui::recording 0
::dash::record::stop

# 3. Throughput on the wall clock, the dashboard's clock going on from the
# simulated one.
set ::shift [expr {$::simNow - [clock milliseconds]}]
proc ::dash::now {} { expr {[clock milliseconds] + $::shift} }
set seconds 3
set n 0
set end [expr {[clock milliseconds] + $seconds * 1000}]
while {[clock milliseconds] < $end} { HidCommand 77; incr n }
set bare [expr {$n / double($seconds)}]
::dash::settings::put pollMs 0
::dash::chart::setWindow 60
set before $::dash::link::stats(exchanges)
::dash::link::start
::dash::ui::display
after [expr {$seconds * 1000}] {set ::done 1}
vwait ::done
::dash::link::stop
set dash [expr {($::dash::link::stats(exchanges) - $before) / double($seconds)}]
say [format "poll throughput: bare HidCommand loop %.0f/s, dashboard (poll period 0, display at 15 Hz) %.0f/s, ratio %.2f" \
    $bare $dash [expr {$dash / $bare}]]
exit 0
