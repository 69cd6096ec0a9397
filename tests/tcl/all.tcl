# Runs the tcltest files named by -file inside this shell (one process) and
# exits 1 when any test failed, 0 otherwise.
package require tcltest 2.5
namespace import tcltest::*
configure -testdir [file dirname [file normalize [info script]]] -singleproc 1 {*}$argv
set failed [runAllTests]
exit $failed
