# Helpers of the benchmarks that run inside a shell: figures go to standard
# error (standard output carries HidCommand's trace), the process's resident
# memory, and percentiles of a list of times.

# say text --
#	Prints TEXT as a line of the benchmark's figures.
proc say {text} { puts stderr $text }

# rssKb --
#	The process's resident memory in KiB, -1 where /proc does not tell.
proc rssKb {} {
    if {[catch {open /proc/self/status} f]} { return -1 }
    set text [read $f]
    close $f
    if {[regexp -line {^VmRSS:\s+(\d+)} $text -> kb]} { return $kb }
    return -1
}

# percentile values p --
#	The value below which the fraction P of VALUES lies.
proc percentile {values p} {
    set sorted [lsort -real $values]
    lindex $sorted [expr {int($p * ([llength $sorted] - 1))}]
}
