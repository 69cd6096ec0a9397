# The control channel of the kernel instrument that tests/hidvm/instrument-sim.sh
# started, for the scripts that run inside a shell in the hidvm guest (the
# Linux fieldwish and, under Wine, fieldwish.exe): control lines go into its
# FIFO ($env(FIELDWISH_SIM_CONTROL)), its answers are read from the file it
# writes them to ($env(FIELDWISH_SIM_ANSWERS)).

namespace eval ::instrumentSim {
    namespace export say
    variable control {}
    variable answers {}
    # Answer text read but not yet taken as a whole line.
    variable pending ""
}

# say LINE ?PATTERN?: sends one control line and answers the instrument's
# answer line; an error when that does not match PATTERN (default "ok*") or
# no answer comes within 30 s.
proc ::instrumentSim::say {line {pattern ok*}} {
    variable control
    if {$control eq ""} { Open }
    puts $control $line
    set answer [NextAnswer]
    if {$answer eq ""} { error "instrument-sim: no answer to \"$line\"" }
    if {![string match $pattern $answer]} { error "instrument-sim: $line: $answer" }
    return $answer
}

# Opens both ends; the answers written before (the "ready" line) are not ours.
proc ::instrumentSim::Open {} {
    variable control
    variable answers
    variable pending
    global env
    set answers [open $env(FIELDWISH_SIM_ANSWERS) r]
    fconfigure $answers -translation lf
    set pending [read $answers]
    set cut [string last \n $pending]
    set pending [string range $pending [expr {$cut + 1}] end]
    set control [open $env(FIELDWISH_SIM_CONTROL) WRONLY]
    fconfigure $control -translation lf -buffering line
}

# The next whole answer line, or "" after 30 s without one.
proc ::instrumentSim::NextAnswer {} {
    variable answers
    variable pending
    for {set tries 0} {$tries < 3000} {incr tries} {
        append pending [read $answers]
        set end [string first \n $pending]
        if {$end >= 0} {
            set line [string range $pending 0 [expr {$end - 1}]]
            set pending [string range $pending [expr {$end + 1}] end]
            return $line
        }
        after 10
    }
    return ""
}
