# The script both shells run in the start-up benchmark. fieldwish has booted
# the dashboard before it gets here; wish8.6 is given the dashboard's plain
# source as its argument and sources it. Then let Tk map what the start-up
# made, and leave as soon as the event loop is idle.
if {$argc > 0} {
    source [lindex $argv 0]
}
update
after idle exit
