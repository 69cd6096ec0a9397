# Run inside fieldwish (after the dashboard has booted), from a deployment's
# bin/ directory: bench/crypt_source_bench.tcl WORKDIR TINPACK [RUNS]
# Loads one generated 499,992-byte script, protected with CryptSource and
# plain with source, alternately in this one interpreter, and prints both
# figures and their ratio.
lassign $argv work tinpack runs
if {$runs eq ""} {set runs 30}
set size 499992

# A script of the kind the dashboard is made of: procedures, variables,
# namespace code run at load time, comments.
proc makeScript {size} {
    set text "namespace eval ::benchload {}\n"
    set i 0
    while {[string length $text] < $size} {
        append text "# procedure $i of the generated load\n"
        append text "proc ::benchload::p$i {a b} {\n    set s \[expr {\$a + \$b}\]\n    return \[list \$s \$a \$b\]\n}\n"
        append text "set ::benchload::v($i) {value $i with a few words in it}\n"
        append text "namespace eval ::benchload { variable w$i \[list $i \[expr {$i * 2}\]\] }\n"
        incr i
    }
    # Cut back to whole lines, then fill with a comment to the exact size.
    set text [string range $text 0 [string last "\n" $text [expr {$size - 40}]]]
    append text "#" [string repeat x [expr {$size - [string length $text] - 2}]] "\n"
    return $text
}

set plain [file join $work load.tcl]
set protected [file join $work load.tin]
set f [open $plain w]
fconfigure $f -translation lf -encoding ascii
puts -nonewline $f [makeScript $size]
close $f
exec $tinpack encrypt $plain $protected
if {[file size $plain] != $size} {
    puts stderr "crypt_source: generated [file size $plain] bytes, not $size"
    exit 1
}

proc microseconds {script} {
    set t0 [clock microseconds]
    uplevel #0 $script
    return [expr {[clock microseconds] - $t0}]
}

proc median {values} {
    set sorted [lsort -real $values]
    set n [llength $sorted]
    if {$n % 2} {return [lindex $sorted [expr {$n / 2}]]}
    return [expr {([lindex $sorted [expr {$n / 2 - 1}]] + [lindex $sorted [expr {$n / 2}]]) / 2.0}]
}

# The same definitions either way: check once that both loads give them.
uplevel #0 [list CryptSource [file rootname $protected].itcl]
set defined [llength [info procs ::benchload::*]]
namespace delete ::benchload
uplevel #0 [list source $plain]
if {$defined == 0 || $defined != [llength [info procs ::benchload::*]]} {
    puts stderr "crypt_source: the two loads differ ($defined procedures against [llength [info procs ::benchload::*]])"
    exit 1
}

set cryptTimes {}
set sourceTimes {}
for {set r 0} {$r < $runs} {incr r} {
    # Alternate the order so that neither gains from running second.
    if {$r % 2} {
        lappend cryptTimes [microseconds [list CryptSource [file rootname $protected].itcl]]
        lappend sourceTimes [microseconds [list source $plain]]
    } else {
        lappend sourceTimes [microseconds [list source $plain]]
        lappend cryptTimes [microseconds [list CryptSource [file rootname $protected].itcl]]
    }
}

set cm [median $cryptTimes]
set sm [median $sourceTimes]
set cmin [tcl::mathfunc::min {*}$cryptTimes]
set smin [tcl::mathfunc::min {*}$sourceTimes]
puts [format "crypt_source: %d-byte script, %d runs each, one fieldwish process" $size $runs]
puts [format "crypt_source: CryptSource (protected) median %.2f ms, min %.2f ms (%.0f MB/s)" \
          [expr {$cm / 1000.0}] [expr {$cmin / 1000.0}] [expr {$size / double($cm)}]]
puts [format "crypt_source: source (plain)          median %.2f ms, min %.2f ms (%.0f MB/s)" \
          [expr {$sm / 1000.0}] [expr {$smin / 1000.0}] [expr {$size / double($sm)}]]
puts [format "crypt_source: ratio CryptSource / source = %.2fx (median), %.2fx (min) (goal <= 1.00x)" \
          [expr {$cm / double($sm)}] [expr {$cmin / double($smin)}]]
exit 0
