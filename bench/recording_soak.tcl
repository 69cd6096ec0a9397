# A simulated week of unattended recording, run after the boot of
# fieldwish-sim (modules loaded, nothing started) by bench/soak-recording.sh.
# The dashboard's clock runs fast (::dash::now replaced, as the dashboard
# benchmark does): 10 Hz polling of the in-process instrument, recording with
# daily rotation, one display frame per simulated minute. Each day has an
# unplug of a minute, a silence of half a minute, and an alarm (the limits
# changed for a minute); day 3 a clock step back by 10 s, day 5 one forward by
# an hour (the link's clockstep event, told to the recorder); day 4 a full
# disk for five minutes (the recording folder is a tmpfs filled to the last
# byte, then freed; needs root, else skipped).
# Afterwards: every frame the link took is in exactly one file, in order;
# every file verifies; the events list every outage and alarm; resident
# memory after the first hour against the end. Figures on standard error.
# SHA-256 in pure Tcl (what the program ships) costs about 0.13 ms per row
# to record and 0.37 MB/s to check: over a week (some 400 MB) that is half an
# hour of CPU each way, so the soak hashes with a cheap stand-in (CRC-32
# through the same procs) unless SOAK_DIGEST is "real"; the digest itself is
# checked by the tests against sha256sum.
# Environment: SOAK_DAYS (7), SOAK_DIR (the recording folder; a tmpfs there
# when SOAK_TMPFS_MB is set), SOAK_DIGEST.
lassign $argv work
source [file join [file dirname [info script]] measure.tcl]
set days [expr {[info exists env(SOAK_DAYS)] ? $env(SOAK_DAYS) : 7}]
set folder $env(SOAK_DIR)
set tmpfs [expr {[info exists env(SOAK_TMPFS_MB)] && $env(SOAK_TMPFS_MB) ne ""}]

proc cpuSeconds {} {
    set f [open /proc/self/stat]
    set fields [split [lindex [split [read $f] )] 1]]
    close $f
    expr {([lindex $fields 12] + [lindex $fields 13]) / 100.0}
}

if {![info exists env(SOAK_DIGEST)] || $env(SOAK_DIGEST) ne "real"} {
    ::dash::recording::requireDigest
    proc ::sha2::SHA256Init {} {
        set token ::soakDigest[incr ::soakDigests]
        set $token 0
        return $token
    }
    proc ::sha2::SHA256Update {token data} { set $token [zlib crc32 $data [set $token]] }
    proc ::sha2::SHA256Final {token} {
        set crc [set $token]
        unset $token
        binary format Ix28 $crc
    }
    set digestUsed "a CRC-32 stand-in"
} else {
    set digestUsed "SHA-256 (pure Tcl)"
}

::dash::settings::setFolder [file join $work settings]
::dash::app::start
::dash::link::stop
::dash::ui::stopDisplay
::dash::settings::put recordDir $folder
::dash::settings::put rotation daily
# The alarms of the week are the soak's own: none from the default limits.
set limits {{{} {}} {{} {}} {{} {}} {{} {}}}
::dash::settings::put limits $limits
wm geometry . 1100x680
update

set ::simNow [clock scan "2026-12-07 09:00:00" -format "%Y-%m-%d %H:%M:%S"]000
proc ::dash::now {} { return $::simNow }

# Every frame the link hands on, as runs of {run first last}.
set ::taken {}
proc taken {kind args} {
    if {$kind ne "frame"} return
    lassign $args t run seq
    set last [lindex $::taken end]
    if {[llength $last] && [lindex $last 0] == $run && [lindex $last 2] == $seq - 1} {
        lset ::taken end 2 $seq
    } else {
        lappend ::taken [list $run $seq $seq]
    }
}
::dash::link::listen taken

# What the week does, by the frame (10 per simulated second) of each day.
set perDay 864000
proc at {day hh mm ss} { expr {$day * $::perDay + (($hh - 9) * 3600 + $mm * 60 + $ss) * 10} }
set plan {}
for {set day 0} {$day < ceil($days)} {incr day} {
    lappend plan [at $day 11 0 0] unplug [at $day 11 1 0] plug
    lappend plan [at $day 14 0 0] silent [at $day 14 0 30] answer
    lappend plan [at $day 16 0 0] alarm [at $day 16 1 0] calm
}
if {$days > 3} { lappend plan [at 2 12 0 0] stepBack }
if {$days > 5} { lappend plan [at 4 12 0 0] stepForward }
if {$days > 4 && $tmpfs} { lappend plan [at 3 10 0 0] fill [at 3 10 5 0] free }
set plan [lsort -stride 2 -integer -index 0 $plan]
array set done {unplug 0 silent 0 alarm 0 stepBack 0 stepForward 0 fill 0}

proc fill {} {
    set f [open [file join $::folder filler] {WRONLY CREAT}]
    fconfigure $f -translation binary -buffering none
    set block [string repeat x 65536]
    catch { while 1 { puts -nonewline $f $block } }
    set block [string repeat x 4096]
    catch { while 1 { puts -nonewline $f $block } }
    catch { while 1 { puts -nonewline $f x } }
    catch {close $f}
}

::dash::ui::setRecording 1
set firstHour [rssKb]
set total [expr {int($days * $perDay)}]
set wall [clock milliseconds]
set cpu0 [cpuSeconds]
say "simulated recording: $days days at 10 Hz ($total frames), daily rotation, into $folder, digest $digestUsed"
say [format "  %5s %10s %10s %8s" hour "RSS kB" files "cpu s"]
set next [lindex $plan 0]
for {set i 0} {$i < $total} {incr i} {
    while {$next ne "" && $i == $next} {
        set action [lindex $plan 1]
        set plan [lrange $plan 2 end]
        set next [lindex $plan 0]
        if {[info exists done($action)]} { incr done($action) }
        switch -- $action {
            unplug { SimInstrument detach }
            plug { SimInstrument attach }
            silent { SimInstrument silent 1 }
            answer { SimInstrument silent 0; ::dash::link::retryNow }
            alarm { ::dash::settings::put limits {{10 20} {{} {}} {{} {}} {{} {}}} }
            calm { ::dash::settings::put limits $limits }
            stepBack {
                incr ::simNow -10000
                ::dash::record::linkEvent clockstep $::simNow -10000
            }
            stepForward {
                incr ::simNow 3600000
                ::dash::record::linkEvent clockstep $::simNow 3600000
            }
            fill { fill }
            free { file delete [file join $folder filler] }
        }
    }
    ::dash::link::step
    incr ::simNow 100
    if {$i % 600 == 599} { ::dash::ui::refresh -status; update }
    if {$i % 36000 == 35999} {
        set hour [expr {($i + 1) / 36000}]
        set rss [rssKb]
        if {$hour == 1} { set firstHour $rss }
        if {$hour % 6 == 0 || $hour == 1} {
            say [format "  %5d %10d %10d %8.1f" $hour $rss \
                [llength [glob -nocomplain -directory $folder *.check.txt]] [expr {[cpuSeconds] - $cpu0}]]
        }
    }
}
set recordCpu [expr {[cpuSeconds] - $cpu0}]
set endRss [rssKb]
::dash::ui::setRecording 0
set wallS [expr {([clock milliseconds] - $wall) / 1000.0}]
say [format "  %d frames taken in %.0f s (%.0f s CPU, %.0f us per frame); resident memory: after the first hour %d kB, at the end %d kB (growth %d kB)" \
    [dict get [::dash::link::stats] samples] $wallS $recordCpu [expr {$recordCpu * 1e6 / $total}] \
    $firstHour $endRss [expr {$endRss - $firstHour}]]

# Every frame taken, in one file only, in order: the files' rows against
# the runs taken.
set files [lsort [lsearch -all -inline -not [glob -directory $folder fieldwish_*.csv] *.events.csv]]
set expected $::taken
set run ""
set seq ""
set bad 0
set rows 0
foreach file $files {
    set f [open $file rb]
    gets $f
    while {[gets $f line] >= 0} {
        incr rows
        lassign [split $line ,] - r s
        if {$run eq ""} {
            lassign [lindex $expected 0] run seq last
            set expected [lrange $expected 1 end]
        }
        if {$r != $run || $s != $seq} {
            if {[incr bad] <= 5} { say "  row $rows of [file tail $file]: run $r sequence $s where run $run sequence $seq was expected" }
            set run $r
            set seq $s
        }
        if {$seq == $last} { set run "" } else { incr seq }
    }
    close $f
}
set missing [expr {[llength $expected] + ($run ne "")}]
say [format "  %d files, %d rows; rows not as taken: %d; runs of frames taken but not in a file: %d; frames the link counted as lost: %d" \
    [llength $files] $rows $bad $missing [dict get [::dash::link::stats] lost]]

# Every file verifies.
set t0 [clock milliseconds]
set whole 0
foreach file $files {
    set result [::dash::recording::verify $file]
    if {[dict get $result whole]} {
        incr whole
    } else {
        say "  [::dash::recording::describe $result]"
    }
}
say [format "  %d of %d files whole and unchanged (checked in %.0f s)" $whole [llength $files] \
    [expr {([clock milliseconds] - $t0) / 1000.0}]]

# The events: every outage, alarm, clock step and the full disk.
array set count {}
foreach file $files {
    foreach event [::dash::recording::readEvents [dict get [::dash::recording::names $file] events]] {
        incr count([dict get $event event])
    }
}
set counts [lmap name [lsort [array names count]] { format "%s %d" $name $count($name) }]
say "  events: [join $counts {, }]"
set get {apply {{name} { expr {[info exists ::count($name)] ? $::count($name) : 0} }}}
set steps [expr {$done(stepBack) + $done(stepForward)}]
set listed [expr {[{*}$get unplug] == $done(unplug) && [{*}$get silence-start] == $done(silent)
    && [{*}$get alarm-start] == $done(alarm) && [{*}$get alarm-end] == $done(alarm)
    && [{*}$get clock-step] == $steps && [{*}$get rotate-out] == [llength $files] - 1
    && [{*}$get write-error] == $done(fill) && [{*}$get write-resumed] == $done(fill)}]
say "  unplugs ($done(unplug)), silences ($done(silent)), alarms ($done(alarm)), clock steps ($steps),\
    full disks ($done(fill)) and rotations all listed: [expr {$listed ? "yes" : "NO"}]"
set ok [expr {!$bad && !$missing && $whole == [llength $files] && $listed && $endRss - $firstHour < 5120}]
say "soak [expr {$ok ? "passed" : "FAILED"}]"
exit [expr {!$ok}]
