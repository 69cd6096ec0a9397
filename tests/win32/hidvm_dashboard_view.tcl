# Run by hidvm-wine.sh --screenshots inside fieldwish.exe after the boot: the
# dashboard as a user starts it, polling the kernel instrument, its settings
# in a folder of its own. Once it has shown some seconds of frames it writes
# DIR/ready with its state, and ends when DIR/done appears.
set dir [lindex $argv 0]
::dash::settings::setFolder [file join $dir settings]
::dash::app::start
wm geometry . 1100x680+0+0
proc awaitFrames {} {
    global dir
    set stats [::dash::link::stats]
    if {[::dash::link::state] eq "up" && [dict get $stats samples] >= 80} {
        set f [open [file join $dir ready] w]
        fconfigure $f -encoding utf-8
        puts $f "[::dash::link::state] [dict get [::dash::ui::toolbarState] connection] samples=[dict get $stats samples]"
        close $f
        awaitDone
        return
    }
    after 250 awaitFrames
}
proc awaitDone {} {
    if {[file exists [file join $::dir done]]} { exit 0 }
    after 250 awaitDone
}
after 250 awaitFrames
