# check-recording.tcl ?-window? FILE ...
# Checks recordings from the command line, run by the fieldwish shell after
# its boot has loaded the dashboard's modules:
#     cd <installation>/bin
#     ./fieldwish ../tcl/check-recording.tcl ~/fieldwish-recordings/fieldwish_2026-12-07_120000.csv
# (on Windows: fieldwish.exe ..\tcl\check-recording.tcl FILE, whose output
# goes where it is redirected; -window shows it in a window as well). FILE
# is a recording's data file (or its events or check file). For each it
# prints whether it is whole and unchanged and, where not, which rows; the
# progress of a long check goes to standard error.
# Exit status: 0 every file whole and unchanged, 1 not all, 2 a file could
# not be checked or the words were wrong.

wm withdraw .
set window 0
if {[lindex $argv 0] eq "-window"} {
    set window 1
    set argv [lrange $argv 1 end]
}
if {![llength $argv]} {
    puts stderr "usage: fieldwish ../tcl/check-recording.tcl ?-window? FILE ..."
    exit 2
}

set status 0
set report {}
foreach file $argv {
    set path [dict get [::dash::recording::names [file normalize $file]] data]
    set shown 0
    if {[catch {
        ::dash::recording::verify $path -progress {apply {{done} {
            upvar #0 lastShown shown
            set now [clock seconds]
            if {![info exists shown] || $now - $shown >= 5} {
                set shown $now
                puts stderr [format "checking ... %d %%" [expr {int($done * 100)}]]
            }
        }}}
    } result]} {
        set text "[file tail $path]: cannot be checked: $result"
        set status 2
    } else {
        set text [::dash::recording::describe $result]
        if {![dict get $result whole] && $status == 0} { set status 1 }
    }
    puts $text
    lappend report $text
}
flush stdout

if {$window} {
    wm title . "Check of recordings"
    ttk::frame .f -padding 12
    ttk::label .f.text -text [join $report \n\n] -justify left -wraplength 600
    ttk::button .f.close -text Close -command {set closed 1}
    pack .f -fill both -expand 1
    pack .f.text -anchor w
    pack .f.close -anchor e -pady {12 0}
    wm protocol . WM_DELETE_WINDOW {set closed 1}
    wm deiconify .
    vwait closed
}
exit $status
