# One static library per folder, each compiled against an include root that
# holds only its own folder and the folders below it: an include that points
# upwards does not compile. The root is a folder of symbolic links in the
# build tree (layers/<folder>/<lower folder> -> the source folder).
#
#   fieldwish_layer(<folder> [BELOW <lower folder> ...])
#
# creates the library fieldwish_<folder>, with no sources yet (the folder's
# CMakeLists.txt adds them); a folder's library links the libraries of the
# folders below it, so executables only name the top one.
function(fieldwish_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "BELOW")
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  foreach(visible IN ITEMS ${folder} ${layer_BELOW})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${visible} ${root}/${visible} SYMBOLIC)
  endforeach()
  add_library(fieldwish_${folder} STATIC)
  target_include_directories(fieldwish_${folder} PRIVATE ${root})
  foreach(lower IN LISTS layer_BELOW)
    target_link_libraries(fieldwish_${folder} PUBLIC fieldwish_${lower})
  endforeach()
endfunction()
