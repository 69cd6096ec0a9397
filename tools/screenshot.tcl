# Run by tools/screenshot.sh after the boot: fills a minute of the virtual
# instrument's frames (with an unplug in the middle), then writes a PNG of
# each tab, of an outage and of alarms latched (the installer's:
# screenshot-installer.tcl).
# argv: output folder, then "dashboard", then the zoom in percent (default
# 100; 150 or 200 scale tk scaling and name the files *-150.png, *-200.png).
lassign $argv outDir what zoom
if {$zoom eq ""} { set zoom 100 }
set suffix [expr {$zoom == 100 ? "" : "-$zoom"}]
file mkdir $outDir
package require img::window

proc capture {window file} {
    update
    after 400 {set ::settled 1}
    vwait ::settled
    # The status bar and the cards' statistics, which follow once a second.
    ::dash::ui::refresh -status
    update
    set img [image create photo -format window -data $window]
    $img write [file join $::outDir $file] -format png
    image delete $img
    puts "screenshot: [file join $::outDir $file]"
}

::dash::settings::setFolder [file join $outDir settings]
file delete -force [::dash::settings::folder]
# 200 %: tk scaling doubled from what the X server gives.
if {$zoom != 100} { tk scaling [expr {[tk scaling] * $zoom / 100.0}] }
::dash::app::start
::dash::link::stop
::dash::settings::put limits {{10 21.9} {30 70} {950 1050} {-90 90}}
# A minute of frames at 10 Hz on a clock run ahead of the wall clock.
set ::offset -60000
proc ::dash::now {} { expr {[clock milliseconds] + $::offset} }
for {set i 0} {$i < 600} {incr i} {
    if {$i == 330} { SimInstrument detach }
    if {$i == 370} { SimInstrument attach }
    ::dash::link::step
    incr ::offset 100
}
proc ::dash::now {} { clock milliseconds }
# The alarms of that minute seen; the one lasting now stays.
::dash::alarm::ack
::dash::link::start
set recordings [file join $outDir live-recordings]
file delete -force $recordings
::dash::settings::put recordDir $recordings
::dash::ui::setRecording 1
wm geometry . [expr {1100 * $zoom / 100}]x[expr {680 * $zoom / 100}]
capture . live$suffix.png
# The smallest window, where every control must still show; at 100 % also
# the common laptop screens.
wm geometry . [join [wm minsize .] x]
capture . live-min$suffix.png
if {$zoom == 100} {
    foreach size {1280x720 1366x768} {
        wm geometry . $size
        capture . live-$size.png
    }
}
wm geometry . [expr {1100 * $zoom / 100}]x[expr {680 * $zoom / 100}]
# An outage: unplugged for eight seconds; the cards keep the last values,
# greyed, and the alarms that lasted stay latched.
::dash::link::stop
SimInstrument detach
::dash::link::step
set ::offset 8000
proc ::dash::now {} { expr {[clock milliseconds] + $::offset} }
capture . outage$suffix.png
# Back, with the alarms latched until acknowledged.
SimInstrument attach
::dash::link::start
capture . alarm$suffix.png
::dash::alarm::ack
# A failure as the operator sees it: in full, in the banner, the Record
# control unticked. A folder under a plain file cannot be made, even by root.
::dash::ui::setRecording 0
set blocker [file join $outDir not-a-folder$suffix]
close [open $blocker w]
::dash::settings::put recordDir [file join $blocker recordings]
::dash::ui::setRecording 1
capture . error$suffix.png
::dash::ui::dismissAlerts
file delete $blocker
::dash::settings::put recordDir $recordings
::dash::ui::setRecording 1
foreach line {I M S "E 01 02 03"} { ::dash::console::submit $line }
set tabs [::dash::ui::widget tabs]
foreach tab {survey console settings} {
    $tabs select [::dash::ui::widget $tab]
    if {$tab eq "survey"} { ::dash::survey::refresh }
    capture . $tab$suffix.png
}
# The settings form as typed: a letter in a limit, LO above HI, Y min above
# Y max, each field marked and the rules named.
foreach {name text} {lo,0 25 hi,0 20 lo,2 9x0 ya,1 60 yb,1 50} {
    set ::dash::settingstab::form($name) $text
}
capture . settings-invalid$suffix.png
foreach {name text} {lo,0 10 hi,0 21.9 lo,2 950 ya,1 "" yb,1 ""} {
    set ::dash::settingstab::form($name) $text
}
# The output control unlocked with a PIN.
set ::dash::pin::iterations 2
::dash::settings::setPin 4711
set ::dash::settingstab::form(pin) 4711
::dash::settingstab::unlock
capture . settings-pin$suffix.png
::dash::settingstab::lock
# The folder chooser, in the dark theme.
after 200 {
    capture [::dash::dialog::folderWindow] folder-dialog$suffix.png
    set ::dash::dialog::chooser(done) 1
}
file mkdir [file join $outDir settings recordings-a] [file join $outDir settings recordings-b]
::dash::dialog::chooseFolder -initialdir [file join $outDir settings] -title "Recording folder" -parent .
# A message box (the question a second copy asks), in the theme too.
after 300 {
    capture .__tk__messagebox message-box$suffix.png
    .__tk__messagebox.no invoke
}
tk_messageBox -icon info -title fieldwish -type yesno -default yes -parent . \
    -message "The dashboard is already running (process 4242) and polls the instrument; a second copy would take its replies." \
    -detail "Bring the running dashboard forward?"
$tabs select [::dash::ui::widget live]
::dash::ui::setRecording 0
file delete -force $recordings
# The review: a generated 24-hour recording (with its summary, as the
# recorder's listener keeps it) and a shorter one, in the recording folder.
source [file join [file dirname [info script]] .. tests scripts recgen.tcl]
# Made once, kept for the run at 200 %.
set recDir [file join $outDir recordings]
::dash::settings::put recordDir $recDir
set day [expr {([clock seconds] / 86400 - 2) * 86400000 + 6 * 3600000}]
set r24 [dict create csv [file join $recDir fieldwish_day.csv] start $day]
if {![file exists [file join $recDir fieldwish_short.summary]]} {
    file delete -force $recDir
    set r24 [::recgen::write $recDir fieldwish_day -rows 864000 -start $day -gaps {{300000 1800000}} \
        -markers {{500000 "filter changed"} {700000 "door open"}} -onRow ::dash::summary::recordEvent]
    ::recgen::write $recDir fieldwish_short -rows 6000 -start [expr {$day + 90000000}] \
        -onRow ::dash::summary::recordEvent -serial SN-0077
}
$tabs select [::dash::ui::widget review]
::dash::review::refreshList
set review [::dash::review::chart]
::dash::review::openFile [dict get $r24 csv]
proc waitOpen {} {
    while {![llength [::dash::rchart::sources [::dash::review::chart]]]} {
        after 50 {set ::tick 1}
        vwait ::tick
    }
}
waitOpen
capture . review-list$suffix.png
# Zoomed in on an alarm with the cursor on it.
::dash::rchart::setRange $review [expr {[dict get $r24 start] + 3550000}] [expr {[dict get $r24 start] + 3610000}]
update
::dash::rchart::redraw $review
lassign [::dash::rchart::plotBox $review] x0 y0 x1 y1
::dash::rchart::cursorAt $review [expr {round($x0 + 0.6 * ($x1 - $x0))}]
capture . review-zoomed$suffix.png
# Statistics of a selected range.
::dash::rchart::whole $review
set a [expr {[dict get $r24 start] + 12 * 3600000}]
::dash::rchart::select $review $a [expr {$a + 6 * 3600000}]
::dash::review::statistics
::dash::rchart::clearCursor $review
capture . review-stats$suffix.png
# Two files on one time axis, stacked.
::dash::review::closeAll
::dash::review::addFile [dict get $r24 csv]
::dash::review::addFile [file join $recDir fieldwish_short.csv]
while {[llength [::dash::rchart::sources $review]] < 2} { after 50 {set ::tick 1}; vwait ::tick }
::dash::rchart::setMode $review stacked
::dash::rchart::setRange $review [expr {$day + 89000000}] [expr {$day + 91500000}]
capture . review-stacked$suffix.png
::dash::rchart::setMode $review overlay
# The live tab scrolled back through the history since the start.
$tabs select [::dash::ui::widget live]
::dash::review::scrollBack 2.0
capture . live-back$suffix.png
::dash::review::backToLive
# The recording's dialogs: a marker, the question on quitting, the check.
set recordings [file join $outDir recording-demo$suffix]
file delete -force $recordings
::dash::settings::put recordDir $recordings
set recorded [::dash::ui::setRecording 1]
after 1500 {set ::settled 1}
vwait ::settled
::dash::recordui::markerDialog
.recordMarker.f.note insert end "valve B closed"
capture .recordMarker marker$suffix.png
destroy .recordMarker
after 100 [list apply {{suffix} {
    capture .recordQuit quit$suffix.png
    set ::dash::recordui::answer 0
}} $suffix]
::dash::recordui::confirmQuit
::dash::ui::setRecording 0
set w [::dash::recordui::checkDialog $recorded]
while {[string match Checking* [$w.f.result cget -text]]} { after 50 {set ::tick 1}; vwait ::tick }
capture $w check$suffix.png
destroy $w
# A full disk as the tool bar and the banner show it (a tmpfs: root only).
set disk [file join $outDir disk$suffix]
file mkdir $disk
if {![catch {exec mount -t tmpfs -o size=16k tmpfs $disk}]} {
    ::dash::settings::put recordDir $disk
    ::dash::ui::setRecording 1
    set f [open [file join $disk filler] {WRONLY CREAT}]
    fconfigure $f -translation binary -buffering none
    catch { while 1 { puts -nonewline $f [string repeat x 1024] } }
    close $f
    # The file's last page takes about 60 rows more before the disk is full.
    after 9000 {set ::settled 1}
    vwait ::settled
    ::dash::ui::refresh -status
    capture . diskfull$suffix.png
    file delete [file join $disk filler]
    ::dash::ui::setRecording 0
    ::dash::ui::dismissAlerts
    catch {exec umount -l $disk}
}
file delete -force $disk $recordings
if {$zoom != 100} { exit 0 }
::dash::ui::applyTheme light
capture . live-light.png
exit 0
