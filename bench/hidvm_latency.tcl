# Round trips of HidCommand with the instrument, run by hidvm-latency inside
# the production fieldwish: HIDVM_BENCH_COUNT echo commands, timed one by one.
# Prints "median_us mean_us" on standard error (standard output carries the
# commands' trace and goes to /dev/null).
set count $env(HIDVM_BENCH_COUNT)
if {[HidConnect] ne "1"} {
    puts stderr "hidvm_latency: no instrument"
    exit 1
}
set times {}
set total 0
for {set i 0} {$i < $count} {incr i} {
    set start [clock microseconds]
    set reply [HidCommand 69]
    set elapsed [expr {[clock microseconds] - $start}]
    if {![string match "45 *" $reply]} {
        puts stderr "hidvm_latency: unexpected answer \"$reply\""
        exit 1
    }
    lappend times $elapsed
    incr total $elapsed
}
set times [lsort -integer $times]
puts stderr "[lindex $times [expr {$count / 2}]] [expr {round(double($total) / $count)}]"
exit 0
