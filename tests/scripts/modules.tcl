# Sourced by the plain-tclsh tests of the dashboard's modules: loads modules
# from the source tree's scripts/ as they are, without a shell or a window.
#   loadModules dashCore dashSettings ...

namespace eval ::fwtest {
    variable scriptDir [file normalize [file join [file dirname [info script]] .. .. scripts]]
}

proc ::fwtest::loadModules {args} {
    variable scriptDir
    foreach name $args {
        uplevel #0 [list source -encoding utf-8 [file join $scriptDir $name.itcl]]
    }
}
