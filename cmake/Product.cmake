# The product: what a user gets, in the deployment's layout (bin/ as the
# working directory, tcl/, lib/ and icons/ beside it), and nothing the build
# makes for itself (tinpack, which carries the key, the virtual instrument and
# the test programs stay out). One list of entries, each a file or a folder
# taken whole, relative to the build tree:
#   FIELDWISH_PRODUCT_ENTRIES
# From it the build writes the list of the product's files beside the
# deployment, ${CMAKE_BINARY_DIR}/fieldwish-files.txt (target
# fieldwish_product_list): the installer copies what it names, the Windows
# zip packs what it names, and the Debian package (Package.cmake) installs
# the same entries.
set(FIELDWISH_PRODUCT_LIST ${CMAKE_BINARY_DIR}/fieldwish-files.txt)
set(FIELDWISH_PRODUCT_ENTRIES bin/fieldwish${CMAKE_EXECUTABLE_SUFFIX})
set(product_dependencies fieldwish deploy_scripts)
if(WIN32)
  # The Tcl/Tk runtime and its script libraries, and fieldwish::capture for
  # the dashboard's snapshots (platform/win32/window_capture.c).
  foreach(dll IN LISTS FIELDWISH_TCLTK_DLLS)
    get_filename_component(name ${dll} NAME)
    list(APPEND FIELDWISH_PRODUCT_ENTRIES bin/${name})
  endforeach()
  list(APPEND FIELDWISH_PRODUCT_ENTRIES lib/tcl8 lib/tcl8.6 lib/tk8.6 lib/fieldwishcapture)
  list(APPEND product_dependencies fieldwish_capture)
endif()
# The icons as PNGs: the launchers' on Linux, the window's and the taskbar's
# (wm iconphoto) on both.
list(APPEND FIELDWISH_PRODUCT_ENTRIES icons/hicolor)
list(APPEND product_dependencies fieldwish_icons)
foreach(script IN LISTS FIELDWISH_PROTECTED_SCRIPTS)
  file(RELATIVE_PATH path ${CMAKE_BINARY_DIR} ${script})
  list(APPEND FIELDWISH_PRODUCT_ENTRIES ${path})
endforeach()
if(FIELDWISH_THEME_DIR)
  list(APPEND FIELDWISH_PRODUCT_ENTRIES lib/awthemes)
  list(APPEND product_dependencies deploy_theme)
endif()
# tcllib's SHA-256, for the recordings' integrity records (scripts/CMakeLists.txt).
list(APPEND FIELDWISH_PRODUCT_ENTRIES lib/sha256)
list(APPEND product_dependencies deploy_sha256)

# Written on every build (it is cheap), so that it always follows what the
# folders hold.
add_custom_target(fieldwish_product_list ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_BINARY_DIR} "-DENTRIES=${FIELDWISH_PRODUCT_ENTRIES}"
          -DOUTPUT=${FIELDWISH_PRODUCT_LIST} -P ${CMAKE_SOURCE_DIR}/cmake/WriteFileList.cmake
  BYPRODUCTS ${FIELDWISH_PRODUCT_LIST}
  COMMENT "Listing the product's files"
  VERBATIM)
add_dependencies(fieldwish_product_list ${product_dependencies})
