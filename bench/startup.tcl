# The script both shells run in the start-up benchmark. fieldwish has booted
# the dashboard before it gets here (its modules loaded; a script given after
# the boot keeps it from starting); wish8.6 is given the dashboard's plain
# boot script as its argument and sources it the same way. Then let Tk map what the start-up
# made, and leave as soon as the event loop is idle.
if {$argc > 0} {
    # Stand-ins for the shell's own commands, so that wish8.6 loads the same
    # dashboard modules in their plain form.
    set scripts [file dirname [lindex $argv 0]]
    proc ShellProbe {args} { return 1 }
    proc CryptSource {path} { uplevel #0 [list source [file join $::scripts [file tail $path]]] }
    source [lindex $argv 0]
}
update
after idle exit
