# The soak, run inside the shell by bench/soak-sim.sh (fieldwish-sim, the
# in-process instrument) and bench/soak-hidvm.sh (the production fieldwish
# against instrument-sim --uhid in the hidvm guest). Environment:
#   SOAK_CYCLES     unplug/replug cycles
#   SOAK_EXCHANGES  HidCommand exchanges with the instrument plugged in
# The kernel instrument is reached through tests/hidvm/instrument_sim.tcl.
# Prints on standard error the open descriptors and resident memory at the
# start, after the warm-up (the first tenth of each phase) and at the end,
# and the number of unexpected answers. Standard output carries the commands'
# trace lines.
set cycles $env(SOAK_CYCLES)
set exchanges $env(SOAK_EXCHANGES)

proc report {args} { puts stderr [join $args] }

proc descriptors {} { llength [glob -nocomplain -directory /proc/self/fd *] }

proc residentKiB {} {
    set f [open /proc/self/status r]
    set status [read $f]
    close $f
    regexp -line {^VmRSS:\s+(\d+)} $status -> kib
    return $kib
}

# Unplug and replug: the control command of fieldwish-sim, or a line to
# instrument-sim awaited by its answer.
if {[llength [info commands SimInstrument]]} {
    set transport "in-process instrument (fieldwish-sim)"
    proc unplug {} { SimInstrument detach }
    proc plug {} { SimInstrument attach }
} else {
    set transport "kernel instrument (instrument-sim --uhid)"
    source [file join [file dirname [info script]] .. tests hidvm instrument_sim.tcl]
    proc unplug {} { ::instrumentSim::say unplug "ok unplugged" }
    proc plug {} { ::instrumentSim::say plug "ok plugged *" }
}

set unexpected 0
proc expect {what answer pattern} {
    global unexpected
    if {![string match $pattern $answer]} {
        incr unexpected
        if {$unexpected <= 5} { report "unexpected answer to $what: \"$answer\"" }
    }
}

proc sample {label} {
    global samples
    set samples($label) [list [descriptors] [residentKiB]]
    report [format "%-32s %4d descriptors %8d KiB resident" $label {*}$samples($label)]
}

report "soak: $transport, $cycles unplug/replug cycles, $exchanges exchanges"
expect "the first HidConnect" [HidConnect] 1
sample start

set warmup [expr {max(1, $cycles / 10)}]
set started [clock microseconds]
for {set i 1} {$i <= $cycles} {incr i} {
    unplug
    expect "HidConnect after an unplug" [HidConnect] 0
    plug
    expect "HidConnect after a replug" [HidConnect] 1
    set byte [format %02x [expr {$i % 256}]]
    expect "HidCommand 69 after a replug" [HidCommand 69 $byte] "45 $byte *"
    if {$i == $warmup} { sample "cycles: after warm-up ($i)" }
}
sample "cycles: end ($cycles)"
set cycleUs [expr {[clock microseconds] - $started}]

set warmup [expr {max(1, $exchanges / 10)}]
set started [clock microseconds]
for {set i 1} {$i <= $exchanges} {incr i} {
    if {$i % 2} {
        expect "HidCommand 77" [HidCommand 77] "4d 04 *"
    } else {
        set byte [format %02x [expr {$i % 256}]]
        expect "HidCommand 69" [HidCommand 69 $byte 2a] "45 $byte 2a *"
    }
    if {$i == $warmup} { sample "exchanges: after warm-up ($i)" }
}
sample "exchanges: end ($exchanges)"
set exchangeUs [expr {[clock microseconds] - $started}]

lassign $samples(start) startFds startKiB
foreach phase {cycles exchanges} {
    set warm [lsearch -inline -glob [array names samples] "$phase: after warm-up*"]
    set end [lsearch -inline -glob [array names samples] "$phase: end*"]
    lassign $samples($warm) warmFds warmKiB
    lassign $samples($end) endFds endKiB
    report [format "%-10s descriptors start %d end %d; resident growth after warm-up %+d KiB" \
        $phase $startFds $endFds [expr {$endKiB - $warmKiB}]]
}
report [format "time: %.0f us per cycle, %.0f us per exchange" \
    [expr {double($cycleUs) / max(1, $cycles)}] [expr {double($exchangeUs) / max(1, $exchanges)}]]
report "unexpected answers: $unexpected"
exit 0
