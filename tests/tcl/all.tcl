# Runs the tcltest files named by -file inside this shell (one process) and
# exits 1 when any test failed or any file could not be run, 0 otherwise.
package require tcltest 2.5
namespace import tcltest::*
configure -testdir [file dirname [file normalize [info script]]] -singleproc 1 {*}$argv
# tcltest empties its list of failing files once it has printed it ...
set anyFailed 0
trace add variable ::tcltest::failFiles write {apply {args {
    if {[llength $::tcltest::failFiles] > 0} { set ::anyFailed 1 }
}}}
# ... and, under Tk, exits with status 0 when it has finished.
rename exit ::tcltest_exit
proc exit {args} {}
set fileErrors [runAllTests]
::tcltest_exit [expr {$fileErrors || $anyFailed}]
