# Run by tools/screenshot.sh after the installer's boot: PNGs of the
# installer's window after an installation (installer.png), after a refused
# folder (installer-refused.png), of the question before uninstalling
# (installer-uninstall-ask.png) and after uninstalling (installer-uninstall.png),
# all into scratch folders. argv: output folder, zoom in percent (default 100;
# 200 doubles tk scaling and names the files *-200.png).
lassign $argv outDir zoom
if {$zoom eq ""} { set zoom 100 }
set suffix [expr {$zoom == 100 ? "" : "-$zoom"}]
file mkdir $outDir
package require img::window

proc settle {} {
    update
    after 400 {set ::settled 1}
    vwait ::settled
    update
}

proc capture {window file} {
    settle
    set img [image create photo -format window -data $window]
    $img write [file join $::outDir $file] -format png
    image delete $img
    puts "screenshot: [file join $::outDir $file]"
}

# The wizard is up already: its fonts (in points) are measured again at the
# new scaling.
if {$zoom != 100} {
    tk scaling [expr {[tk scaling] * $zoom / 100.0}]
    foreach font [font names] { font configure $font -size [font configure $font -size] }
}
set scratch [file join $outDir install-demo$suffix]
file delete -force $scratch
set ::env(XDG_DATA_HOME) [file join $scratch share]
file mkdir [file join $scratch Desktop]
set ::install::form(desktop) [file join $scratch Desktop]
wm geometry . [expr {720 * $zoom / 100}]x[expr {470 * $zoom / 100}]

# A home folder with the user's own bin/: refused.
set home [file join $scratch home]
foreach path {bin/backup.sh Documents/notes.txt .bashrc .profile} {
    file mkdir [file dirname [file join $home $path]]
    close [open [file join $home $path] w]
}
set ::install::form(folder) $home
::install::wizardInstall
capture . installer-refused$suffix.png

set ::install::form(folder) [file join $scratch fieldwish]
::install::wizardInstall
capture . installer$suffix.png

# The question first (answered Yes once it is taken), then the report, with
# a recording the user kept in the folder.
close [open [file join $scratch fieldwish bin recording.csv] w]
after 100 {
    capture .__tk__messagebox installer-uninstall-ask$suffix.png
    .__tk__messagebox.yes invoke
}
::install::wizardUninstall
capture . installer-uninstall$suffix.png
file delete -force $scratch
exit 0
