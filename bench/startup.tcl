# The script every shell runs in the start-up benchmark. fieldwish has booted
# the dashboard before it gets here (its modules loaded; a script given after
# the boot keeps it from starting); the plain shells are given the
# dashboard's plain boot script as their argument and source it the same
# way. Then every shell loads the dashboard's dark theme from lib/ beside its
# working directory, lets Tk map what the start-up made, and leaves as soon
# as the event loop is idle.
if {$argc > 0} {
    # Stand-ins for the shell's own commands, so that a plain shell loads the
    # same dashboard modules in their plain form.
    set scripts [file dirname [lindex $argv 0]]
    proc ShellProbe {args} { return 1 }
    proc CryptSource {path} { uplevel #0 [list source [file join $::scripts [file tail $path]]] }
    source [lindex $argv 0]
}
set themes [file join [file dirname [pwd]] lib awthemes]
if {![file exists [file join $themes pkgIndex.tcl]]} {
    puts stderr "startup: no theme in $themes"
    exit 1
}
lappend auto_path $themes
package require awdark
ttk::style theme use awdark
update
after idle exit
