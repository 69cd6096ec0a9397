# The application icon, rendered from its one vector source at build time:
#   ${FIELDWISH_ICON_DIR}/hicolor/<N>x<N>/apps/fieldwish.png for every N of
#   FIELDWISH_ICON_SIZES, and the source itself under hicolor/scalable/apps.
# The Debian package installs the hicolor tree as it is; the Windows icon
# group is made from the same PNGs (FIELDWISH_ICON_PNGS, smallest first).
# Target: fieldwish_icons.
set(FIELDWISH_ICON_SOURCE ${CMAKE_SOURCE_DIR}/desktop/icons/fieldwish.svg)
set(FIELDWISH_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(FIELDWISH_ICON_SIZES 16 24 32 48 64 96 128 192 256)

find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert not found: the icons are rendered with it "
                      "(Debian package librsvg2-bin; tools/install-deps.sh installs it)")
endif()

set(FIELDWISH_ICON_PNGS "")
foreach(size IN LISTS FIELDWISH_ICON_SIZES)
  set(dir ${FIELDWISH_ICON_DIR}/hicolor/${size}x${size}/apps)
  add_custom_command(OUTPUT ${dir}/fieldwish.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --format png
            --output ${dir}/fieldwish.png ${FIELDWISH_ICON_SOURCE}
    DEPENDS ${FIELDWISH_ICON_SOURCE}
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND FIELDWISH_ICON_PNGS ${dir}/fieldwish.png)
endforeach()

set(scalable ${FIELDWISH_ICON_DIR}/hicolor/scalable/apps/fieldwish.svg)
add_custom_command(OUTPUT ${scalable}
  COMMAND ${CMAKE_COMMAND} -E copy ${FIELDWISH_ICON_SOURCE} ${scalable}
  DEPENDS ${FIELDWISH_ICON_SOURCE}
  VERBATIM)

add_custom_target(fieldwish_icons ALL DEPENDS ${FIELDWISH_ICON_PNGS} ${scalable})
