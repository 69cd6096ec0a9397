# CPU of the dashboard at 10 Hz, run after the boot of fieldwish-sim (modules
# loaded, nothing started): the dashboard is started as a user starts it and
# left polling for the given time on the wall clock, the Live tab shown.
# Figures go to standard error; standard output carries HidCommand's trace
# and is thrown away by the driver.
# argv: work folder, seconds, the X server's process id, clock ticks per
# second, and "record" to record the frames as well.
lassign $argv work seconds xvfbPid ticks record
source [file join [file dirname [info script]] measure.tcl]

# cpuSeconds pid --
#	User and system time of process PID so far, in seconds.
proc cpuSeconds {pid} {
    if {[catch {open /proc/$pid/stat} f]} { return 0.0 }
    set text [read $f]
    close $f
    # The fields after the command name (which may hold blanks) in brackets.
    set fields [split [string range $text [expr {[string last ) $text] + 2}] end]]
    expr {([lindex $fields 11] + [lindex $fields 12]) / double($::ticks)}
}

::dash::settings::setFolder [file join $work settings]
::dash::app::start
::dash::settings::put pollMs 100
::dash::settings::put recordDir [file join $work recordings]
wm geometry . 1100x680
set recording [expr {$record eq "record"}]
if {$recording && [::dash::ui::setRecording 1] eq ""} {
    say "recording did not start"
    exit 1
}
# Start-up, and the first frames, are not counted.
after 5000 {set ::warm 1}
vwait ::warm

set self [pid]
set wall0 [clock milliseconds]
set cpu0 [cpuSeconds $self]
set x0 [cpuSeconds $xvfbPid]
set samples0 [dict get [::dash::link::stats] samples]
say [format "dashboard at 10 Hz for %d s, Live tab shown (1100x680), %s:" $seconds \
    [expr {$recording ? "recording" : "not recording"}]]
say [format "  %6s %12s %12s" minute "dashboard %" "X server %"]
set last [list $wall0 $cpu0 $x0]
for {set t 60} {$t <= $seconds} {incr t 60} {
    after [expr {$wall0 + $t * 1000 - [clock milliseconds]}] {set ::tick 1}
    vwait ::tick
    set now [list [clock milliseconds] [cpuSeconds $self] [cpuSeconds $xvfbPid]]
    lassign $last w c x
    lassign $now w1 c1 x1
    set span [expr {($w1 - $w) / 1000.0}]
    say [format "  %6d %12.2f %12.2f" [expr {$t / 60}] [expr {100 * ($c1 - $c) / $span}] \
        [expr {100 * ($x1 - $x) / $span}]]
    set last $now
}
set span [expr {([clock milliseconds] - $wall0) / 1000.0}]
set cpu [expr {[cpuSeconds $self] - $cpu0}]
set xcpu [expr {[cpuSeconds $xvfbPid] - $x0}]
set frames [expr {[dict get [::dash::link::stats] samples] - $samples0}]
say [format "  in all: dashboard %.2f s of CPU in %.0f s = %.2f %% of one core; X server %.2f %%; %d frames (%.1f/s)" \
    $cpu $span [expr {100 * $cpu / $span}] [expr {100 * $xcpu / $span}] $frames [expr {$frames / $span}]]
exit 0
