# Run by tools/screenshot.sh after the boot: fills a minute of the virtual
# instrument's frames (with an unplug in the middle), then writes a PNG of
# each tab, or of the installer when booted in installation mode.
# argv: output folder, then "dashboard" or "installer", then for the
# dashboard the zoom in percent (default 100; 200 doubles tk scaling and
# names the files *-200.png).
lassign $argv outDir what zoom
if {$zoom eq ""} { set zoom 100 }
set suffix [expr {$zoom == 100 ? "" : "-$zoom"}]
file mkdir $outDir
package require img::window

proc capture {window file} {
    update
    after 400 {set ::settled 1}
    vwait ::settled
    update
    set img [image create photo -format window -data $window]
    $img write [file join $::outDir $file] -format png
    image delete $img
    puts "screenshot: [file join $::outDir $file]"
}

if {$what eq "installer"} {
    # An installation into a scratch folder, so that the picture shows its report.
    set scratch [file join $outDir install-demo]
    file delete -force $scratch
    set ::env(XDG_DATA_HOME) [file join $scratch share]
    set ::install::form(folder) [file join $scratch fieldwish]
    set ::install::form(links) [file join $scratch Desktop]
    wm geometry . 720x470
    ::install::start
    capture . installer.png
    file delete -force $scratch
    exit 0
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
::dash::link::start
wm geometry . [expr {1100 * $zoom / 100}]x[expr {680 * $zoom / 100}]
capture . live$suffix.png
# A failure as the operator sees it: in full, in the banner.
::dash::report "not recording: cannot create [file join [::dash::settings::get recordDir] read-only fieldwish_2026-12-07_120000.csv]: permission denied" error
capture . error$suffix.png
::dash::ui::dismissAlerts
foreach line {I S "E 01 02 03"} { ::dash::console::submit $line }
set tabs [::dash::ui::widget tabs]
foreach tab {survey console settings} {
    $tabs select [::dash::ui::widget $tab]
    if {$tab eq "survey"} { ::dash::survey::refresh }
    capture . $tab$suffix.png
}
$tabs select [::dash::ui::widget live]
if {$zoom != 100} { exit 0 }
::dash::ui::applyTheme light
capture . live-light.png
exit 0
