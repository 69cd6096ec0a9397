# Review benchmark, run after the boot of fieldwish-sim. Figures go to
# standard error.
#  1. recordings of 1 h, 24 h and N days at 10 Hz, written with their summary
#     as the recorder's listener keeps it;
#  2. each opened: the time until the whole file is drawn, the memory held;
#  3. redraws at spans from the whole file down to 10 s, at random places,
#     and pans: median and largest time per span, against the file's length;
#  4. the dashboard's own poll loop at 10 Hz and its display running while
#     the review opens the files, indexes the 24 h file without its summary
#     (rows per second), zooms, pans and reads the cursor, and while the live
#     tab scrolls back: how late the polls came, per phase.
lassign $argv work recgen days
source [file join [file dirname [info script]] measure.tcl]
source $recgen

::dash::settings::setFolder [file join $work settings]
::dash::app::start
::dash::link::stop
::dash::ui::stopDisplay
# REVIEW_BENCH_DATA names a folder that keeps the recordings from one run to
# the next (they take minutes to make).
set recDir [expr {[info exists env(REVIEW_BENCH_DATA)] ? $env(REVIEW_BENCH_DATA) : [file join $work recordings]}]
::dash::settings::put recordDir $recDir
wm geometry . 1100x680
[::dash::ui::widget tabs] select [::dash::ui::widget review]
update
set chart [::dash::review::chart]

set start [expr {([clock seconds] / 86400 - $days - 2) * 86400000}]
set files {}
foreach {name rows} [list 1h 36000 24h 864000 ${days}d [expr {$days * 864000}]] {
    set csv [file join $recDir fieldwish_$name.csv]
    if {[file exists [::dash::summary::summaryPath $csv]]} {
        say "kept $name"
        lappend files $name $csv $rows
        continue
    }
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

if {[info exists env(REVIEW_BENCH_PROBE)]} { source $env(REVIEW_BENCH_PROBE) }
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

# 4. The live dashboard's own poll loop at 100 ms and its display, running
# while the review opens, indexes, zooms and pans, and beside them a probe: a
# timer due every 100 ms on a fixed schedule, as the poll timer is. How late
# the probe fired is how long review work held the event loop (at most one
# slice, whatever the work); the polls' own lateness (the time between two
# frames less the period) is shown beside it.
set ::polls {}
proc pollSeen {kind args} { if {$kind eq "frame"} { lappend ::polls [clock microseconds] } }
::dash::link::listen pollSeen
::dash::settings::put pollMs 100
::dash::link::start
::dash::ui::startDisplay
proc wait {ms} { after $ms {set ::tick 1}; vwait ::tick }
proc lateness {} {
    set late {}
    foreach a [lrange $::polls 0 end-1] b [lrange $::polls 1 end] {
        lappend late [expr {max(0.0, ($b - $a) / 1000.0 - 100)}]
    }
    return $late
}
set ::probeLate {}
set ::probeDue [expr {[clock microseconds] + 100000}]
proc probe {} {
    set now [clock microseconds]
    # A timer may fire up to a ms early (it counts whole ms): not yet due.
    if {$now >= $::probeDue} {
        lappend ::probeLate [expr {($now - $::probeDue) / 1000.0}]
        while {$::probeDue <= $now} { incr ::probeDue 100000 }
    }
    after [expr {max(1, ($::probeDue - $now + 999) / 1000)}] probe
}
after 100 probe
# A ticker every ms: the longest time between two ticks (less the ms) is the
# longest the event loop was held, which is as late as a poll can come. On
# a machine shared with other jobs part of it is time the process waited
# for the CPU: the CPU time the thread used between the two ticks (Linux's
# schedstat) is the hold by its own work.
set ::holdMax 0.0
set ::cpuHoldMax 0.0
set ::schedstat [open /proc/self/schedstat r]
proc cpuMs {} {
    seek $::schedstat 0
    expr {[lindex [read $::schedstat] 0] / 1e6}
}
set ::lastTick [clock microseconds]
set ::lastCpu [cpuMs]
proc tick {} {
    set now [clock microseconds]
    set cpu [cpuMs]
    set ::holdMax [expr {max($::holdMax, ($now - $::lastTick) / 1000.0 - 1)}]
    set ::cpuHoldMax [expr {max($::cpuHoldMax, $cpu - $::lastCpu)}]
    set ::lastTick $now
    set ::lastCpu $cpu
    after 1 tick
}
tick
set ::phases {}
# Runs SCRIPT while polling; the lateness of the probe and of the polls
# meanwhile (and for a second after, while what it left runs) is kept under
# NAME.
proc phase {name script} {
    wait 300
    set ::polls {}
    set ::probeLate {}
    set ::holdMax 0.0
    set ::cpuHoldMax 0.0
    uplevel #0 $script
    wait 1000
    set late [lateness]
    lappend ::phases $name [llength $::probeLate] [percentile $::probeLate 1.0] $::holdMax $::cpuHoldMax \
        [percentile $late 1.0]
    if {[llength [info commands probeDump]]} { probeDump $name }
}
# Opens CSV alone and waits until the view shows it.
bind $chart <<Redrawn>> {+set ::drawnWith [llength [::dash::rchart::sources %W]]}
proc openDrawn {csv} {
    ::dash::review::closeAll
    set ::drawnWith 0
    ::dash::review::openFile $csv
    while {!$::drawnWith} { wait 5 }
}
# Wheel steps about random places, COUNT of them EVERY ms apart.
proc wheel {count every} {
    for {set i 0} {$i < $count} {incr i} {
        lassign [::dash::rchart::plotBox $::chart] x0 y0 x1 y1
        ::dash::rchart::zoom $::chart [expr {$i % 10 < 5 ? 0.8 : 1.25}] [expr {$x0 + rand() * ($x1 - $x0)}]
        wait $every
    }
}
# A drag: the pointer moves STEP pixels per EVERY ms, COUNT times.
proc drag {count step every} {
    lassign [::dash::rchart::plotBox $::chart] x0 y0 x1 y1
    set x [expr {($x0 + $x1) / 2}]
    event generate $::chart <ButtonPress-1> -x $x -y [expr {($y0 + $y1) / 2}]
    for {set i 0} {$i < $count} {incr i} {
        incr x $step
        event generate $::chart <B1-Motion> -x $x -y [expr {($y0 + $y1) / 2}]
        wait $every
    }
    event generate $::chart <ButtonRelease-1> -x $x -y [expr {($y0 + $y1) / 2}]
}
set csv24 [lindex $files 4]
set csv7 [lindex $files 7]
::dash::review::closeAll
expr {srand(2)}
phase "idle, Recordings tab shown" { wait 3000 }
phase "opening the ${days} d file (summary), drawn whole" { openDrawn $csv7 }
phase "wheel zoom, ${days} d file, 40 steps 30 ms apart" { wheel 40 30 }
phase "drag pan, ${days} d file, 60 moves 16 ms apart" { ::dash::rchart::setRange $chart {*}[::dash::rchart::range $chart]; drag 60 7 16 }
phase "opening the 24 h file (summary), drawn whole" { openDrawn $csv24 }
::dash::review::closeAll
file rename [::dash::summary::summaryPath $csv24] $csv24.saved
set ::t0 [clock microseconds]
phase "indexing the 24 h file (no summary) until drawn" {
    openDrawn $csv24
    set ::secs [expr {([clock microseconds] - $::t0) / 1e6}]
}
phase "wheel zoom, 24 h file, 40 steps 30 ms apart" { wheel 40 30 }
phase "drag pan, 24 h file zoomed in, 60 moves 16 ms apart" {
    lassign [::dash::rchart::range $chart] a b
    ::dash::rchart::setRange $chart [expr {($a + $b) / 2}] [expr {($a + $b) / 2 + 600000}]
    drag 60 -9 16
}
phase "cursor moving, 60 moves 16 ms apart" {
    lassign [::dash::rchart::plotBox $chart] x0 y0 x1 y1
    for {set i 0} {$i < 60} {incr i} {
        event generate $chart <Motion> -x [expr {$x0 + $i * ($x1 - $x0) / 60}] -y [expr {($y0 + $y1) / 2}]
        wait 16
    }
}
# The live tab scrolled back through the history the dashboard keeps.
[::dash::ui::widget tabs] select [::dash::ui::widget live]
wait 2000
phase "live tab, its own display only" { wait 3000 }
phase "live tab scrolled back: zoom and pan, then back to live" {
    ::dash::review::scrollBack 1.0
    set c [expr {[llength [info commands ::dash::review::backView]] ? [::dash::review::backView] : [::dash::review::BackChart]}]
    for {set i 0} {$i < 20} {incr i} { ::dash::rchart::zoom $c 0.8; wait 30 }
    for {set i 0} {$i < 20} {incr i} { ::dash::rchart::pan $c -0.05; wait 16 }
    ::dash::review::backToLive
}
::dash::link::stop
::dash::ui::stopDisplay
say [format "\nindexing the 24 h file without summary: %.1f s, %.0f rows/s (%.1f MB/s)" \
    $secs [expr {864000 / $secs}] [expr {[file size $csv24] / 1e6 / $secs}]]
say "\nbeside the dashboard's polls at 100 ms and its display, per phase (ms): the largest"
say "lateness of a timer due every 100 ms; the longest the event loop was held (as late as"
say "a poll can come), in all and by the process's own work (CPU time); the largest"
say "lateness of a poll:"
say [format "  %-58s %6s %8s %8s %8s %8s" phase timers "timer" "held" "own" "poll"]
foreach {name n worst held cpu poll} $::phases {
    say [format "  %-58s %6d %8.1f %8.1f %8.1f %8.1f" $name $n $worst $held $cpu $poll]
}
file rename -force $csv24.saved [::dash::summary::summaryPath $csv24]
exit 0
