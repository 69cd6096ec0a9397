# The Debian package (make package, CPack's DEB generator): the product
# (cmake/Product.cmake) and what a Debian system wants around it.
#   /usr/lib/fieldwish/bin    fieldwish (the shell only: no build tools)
#   /usr/lib/fieldwish/tcl    the protected scripts
#   /usr/lib/fieldwish/lib    the theme
#   /usr/lib/fieldwish/fieldwish-files.txt   the list of those files, which
#                             the installer copies by (fieldwish installation)
#   /usr/bin/fieldwish        starts the shell in its folder, the mode word passed on
#   /usr/lib/udev/rules.d     the instrument's rule (packaging/debian)
#   /usr/share/applications   the desktop entry; /usr/share/icons/hicolor
# The shell finds its scripts at ../tcl from its working directory, which the
# desktop entry and /usr/bin/fieldwish set to the bin folder. Not /opt:
# Debian packages stay out of it. The install rules describe this layout and
# nothing else: the entry and the maintainer scripts name /usr.
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
add_custom_command(OUTPUT ${generated}/fieldwish.1.gz
  COMMAND sh -c "gzip -9n -c '${packaging}/fieldwish.1' > '${generated}/fieldwish.1.gz'"
  DEPENDS ${packaging}/fieldwish.1
  VERBATIM)
add_custom_target(fieldwish_package_files ALL DEPENDS ${generated}/changelog.gz ${generated}/fieldwish.1.gz)

# The product's entries: the icons go where the desktop looks for them, the
# rest under /usr/lib/fieldwish, listed again for the installer.
set(package_entries "")
foreach(entry IN LISTS FIELDWISH_PRODUCT_ENTRIES)
  get_filename_component(parent ${entry} DIRECTORY)
  if(entry STREQUAL "bin/fieldwish")
    install(TARGETS fieldwish RUNTIME DESTINATION ${FIELDWISH_INSTALL_DIR}/bin)
  elseif(entry STREQUAL "icons/hicolor")
    install(DIRECTORY ${CMAKE_BINARY_DIR}/${entry} DESTINATION share/icons)
    continue()
  elseif(entry MATCHES "^(lib|icons)/")
    install(DIRECTORY ${CMAKE_BINARY_DIR}/${entry} DESTINATION ${FIELDWISH_INSTALL_DIR}/${parent})
  else()
    install(FILES ${CMAKE_BINARY_DIR}/${entry} DESTINATION ${FIELDWISH_INSTALL_DIR}/${parent})
  endif()
  list(APPEND package_entries ${entry})
endforeach()
add_custom_target(fieldwish_package_list ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_BINARY_DIR} "-DENTRIES=${package_entries}"
          -DOUTPUT=${generated}/fieldwish-files.txt -P ${CMAKE_SOURCE_DIR}/cmake/WriteFileList.cmake
  BYPRODUCTS ${generated}/fieldwish-files.txt
  VERBATIM)
add_dependencies(fieldwish_package_list fieldwish_product_list)
install(FILES ${generated}/fieldwish-files.txt DESTINATION ${FIELDWISH_INSTALL_DIR})
install(PROGRAMS ${packaging}/fieldwish.sh DESTINATION bin RENAME fieldwish)
install(FILES ${generated}/fieldwish.1.gz DESTINATION share/man/man1)
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
  "plugdev group, access to the instrument without root.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries the executables load come from dpkg-shlibdeps; the rest is
# what they use without linking it: udev applies the instrument's rule.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# what they use without linking it: udev applies the instrument's rule, and
# Img (libtk-img) writes the dashboard's snapshots.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "udev, libtk-img")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${packaging}/postinst ${packaging}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
