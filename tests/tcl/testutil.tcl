# Helpers shared by the script-level tests: child shells, deployments, an
# independent maker of protected files and an independent reader of links.

namespace eval ::fwtest {
    variable buildDir  $::env(FIELDWISH_BUILD_DIR)
    variable sourceDir $::env(FIELDWISH_SOURCE_DIR)
    variable deployDir $::env(FIELDWISH_TEST_DEPLOY)
}

# runShell ?-cwd DIR? ?-env {NAME VALUE ...}? ?-unset {NAME ...}? ?-shell PATH? ARG...
# Runs a child shell to its end; answers a dict with code (exit status),
# stdout and stderr.
proc ::fwtest::runShell {args} {
    variable deployDir
    set cwd [file join $deployDir bin]
    set shell [info nameofexecutable]
    set envChanges {}
    set unset {}
    while {[lindex $args 0] in {-cwd -env -unset -shell}} {
        set args [lassign $args option value]
        switch -- $option {
            -cwd   {set cwd $value}
            -env   {set envChanges $value}
            -unset {set unset $value}
            -shell {set shell $value}
            default {error "runShell: unknown option $option"}
        }
    }
    set errFile [::tcltest::makeFile {} stderr-[pid]-[incr ::fwtest::runs]]
    set saved [array get ::env]
    foreach {name value} $envChanges { set ::env($name) $value }
    foreach name $unset { unset -nocomplain ::env($name) }
    set here [pwd]
    cd $cwd
    set code 0
    try {
        set out [exec -ignorestderr -- $shell {*}$args 2> $errFile < /dev/null]
    } trap CHILDSTATUS {message options} {
        set code [lindex [dict get $options -errorcode] 2]
        set out $message
        regsub {\nchild process exited abnormally$} $out {} out
        if {$out eq "child process exited abnormally"} { set out "" }
    } finally {
        cd $here
        # Element by element: unsetting the whole array would cut its tie
        # to the process environment.
        foreach name [array names ::env] {
            if {![dict exists $saved $name]} { unset ::env($name) }
        }
        dict for {name value} $saved { set ::env($name) $value }
    }
    set f [open $errFile]
    set err [read $f]
    close $f
    ::tcltest::removeFile $errFile
    return [dict create code $code stdout $out stderr $err]
}

# The build's 49-byte script key, from the build's configuration.
proc ::fwtest::scriptKey {} {
    variable buildDir
    set f [open [file join $buildDir CMakeCache.txt]]
    set cache [read $f]
    close $f
    if {![regexp -line {^FIELDWISH_KEY:STRING=([0-9A-Fa-f]{98})$} $cache -> hex]} {
        error "no FIELDWISH_KEY in the build's CMakeCache.txt"
    }
    return [binary format H* $hex]
}

# Byte-reverses every 4-byte group: the shell reads each block half
# little-endian, standard Blowfish reads it big-endian.
proc ::fwtest::swapHalves {data} {
    binary scan $data i* words
    return [binary format I* $words]
}

# Encrypts bytes with tcllib's Blowfish (independent of the shell's cipher).
# The data must be whole 8-byte blocks.
proc ::fwtest::blowfishEncrypt {data} {
    package require blowfish
    set key [scriptKey]
    set out [blowfish::blowfish -mode ecb -dir encrypt -key $key [swapHalves $data]]
    return [swapHalves $out]
}

proc ::fwtest::blowfishDecrypt {data} {
    package require blowfish
    set out [blowfish::blowfish -mode ecb -dir decrypt -key [scriptKey] [swapHalves $data]]
    return [swapHalves $out]
}

# A protected file's bytes for a script text, made without the shell's
# code: blanks pad the text to whole blocks.
proc ::fwtest::protect {text} {
    set bytes [encoding convertto utf-8 $text]
    set pad [expr {(8 - [string length $bytes] % 8) % 8}]
    append bytes [string repeat " " $pad]
    return [binary format I [string length $bytes]][blowfishEncrypt $bytes]
}

proc ::fwtest::writeBinary {path data} {
    file mkdir [file dirname $path]
    set f [open $path wb]
    puts -nonewline $f $data
    close $f
    return $path
}

# Packs a script with the build's tinpack.
proc ::fwtest::tinpack {text tinPath} {
    variable buildDir
    set plain $tinPath.plain
    writeBinary $plain [encoding convertto utf-8 $text]
    exec [file join $buildDir bin tinpack] encrypt $plain $tinPath
    file delete $plain
    return $tinPath
}

# What liblnk's lnkinfo reads from the link file at path: its "name : value"
# lines as a dict.
proc ::fwtest::lnkinfo {path} {
    set pipe [open |[list lnkinfo $path] r]
    fconfigure $pipe -encoding utf-8
    set text [read $pipe]
    close $pipe
    set fields {}
    foreach line [split $text \n] {
        if {[regexp {^\s*([^:]+?)\s*:\s?(.*)$} $line -> name value]} { dict set fields $name $value }
    }
    return $fields
}

# The target, description, working directory, arguments, icon location and
# icon index of the link file at path, as lnkinfo reads them; missing stands
# for a field the file does not hold.
proc ::fwtest::linkFields {path {missing -}} {
    set info [lnkinfo $path]
    lmap name {{Local path} Description {Working directory} {Command line arguments} {Icon location} {Icon index}} {
        expr {[dict exists $info $name] ? [dict get $info $name] : $missing}
    }
}

# A fresh deployment: DIR/bin (the working directory) and DIR/tcl with the
# given scripts protected as NAME.tin. Answers DIR/bin.
proc ::fwtest::deployment {dir scripts} {
    file delete -force $dir
    file mkdir [file join $dir bin] [file join $dir tcl]
    dict for {name text} $scripts {
        writeBinary [file join $dir tcl $name.tin] [protect $text]
    }
    return [file join $dir bin]
}
