# The Debian package (make package, CPack's DEB generator):
#   /usr/lib/fieldwish/bin    fieldwish, tinpack, instrument-sim
#   /usr/lib/fieldwish/tcl    everything the build deploys in build/tcl (the
#                             protected scripts and whatever sits beside them)
#   /usr/lib/fieldwish/lib    build/lib, when the build deploys one
#   /usr/lib/udev/rules.d     the instrument's rule (packaging/debian)
#   /usr/share/applications   the desktop entry; /usr/share/icons/hicolor
# The shell finds its scripts at ../tcl from its working directory, which the
# desktop entry sets to the bin folder. Not /opt: Debian packages stay out of
# it. The install rules describe this layout and nothing else: the entry and
# the maintainer scripts name /usr.
include(${CMAKE_CURRENT_LIST_DIR}/Icons.cmake)

set(FIELDWISH_PACKAGE_PREFIX /usr)
set(FIELDWISH_INSTALL_DIR lib/fieldwish)
set(FIELDWISH_INSTALL_BIN ${FIELDWISH_PACKAGE_PREFIX}/${FIELDWISH_INSTALL_DIR}/bin)
set(FIELDWISH_PACKAGE_VERSION ${PROJECT_VERSION})
set(FIELDWISH_PACKAGE_MAINTAINER "fieldwish developers <fieldwish@example.org>")
set(packaging ${CMAKE_SOURCE_DIR}/packaging/debian)
set(generated ${CMAKE_BINARY_DIR}/packaging)

configure_file(${packaging}/fieldwish.desktop.in ${generated}/fieldwish.desktop @ONLY)
configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)
# Debian wants the changelog compressed to the maximum, with no name or time
# stamp in the gzip header.
add_custom_command(OUTPUT ${generated}/changelog.gz
  COMMAND sh -c "gzip -9n -c '${generated}/changelog' > '${generated}/changelog.gz'"
  DEPENDS ${generated}/changelog
  VERBATIM)
add_custom_target(fieldwish_package_files ALL DEPENDS ${generated}/changelog.gz)

install(TARGETS fieldwish tinpack instrument-sim RUNTIME DESTINATION ${FIELDWISH_INSTALL_DIR}/bin)
install(DIRECTORY ${FIELDWISH_SCRIPT_DIR}/ DESTINATION ${FIELDWISH_INSTALL_DIR}/tcl)
install(DIRECTORY ${CMAKE_BINARY_DIR}/lib/ DESTINATION ${FIELDWISH_INSTALL_DIR}/lib OPTIONAL)
install(FILES ${packaging}/60-fieldwish.rules DESTINATION lib/udev/rules.d)
install(FILES ${generated}/fieldwish.desktop DESTINATION share/applications)
install(DIRECTORY ${FIELDWISH_ICON_DIR}/hicolor DESTINATION share/icons)
install(FILES ${packaging}/copyright ${generated}/changelog.gz DESTINATION share/doc/fieldwish)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fieldwish)
set(CPACK_PACKAGE_VERSION ${FIELDWISH_PACKAGE_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${FIELDWISH_PACKAGE_PREFIX})
set(CPACK_PACKAGE_CONTACT "${FIELDWISH_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dashboard of the fieldwish USB field instrument")
# One paragraph, lines kept under 80 characters for Debian's tools.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "fieldwish is a Tcl/Tk windowing shell that runs the monitoring dashboard"
  "of a USB HID field instrument (vendor 0x04D8, product 0x003F): live"
  "readings and recording. A udev rule gives the user at the seat, and the"
  "plugdev group, access to the instrument without root."
  "The package also carries tinpack, which protects dashboard scripts, and"
  "instrument-sim, a virtual instrument for the kernel's HID stack.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries the executables load come from dpkg-shlibdeps; the rest is
# what they use without linking it: udev applies the instrument's rule.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "udev")
# Img lets the dashboard save snapshots of its charts; it does without.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libtk-img")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${packaging}/postinst ${packaging}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
