# One static library per product folder, fieldwish_<folder>, compiled against
# the source root: includes name their folder ("crypt/script_file.h"). Which
# folder may include which is the rule in cmake/layers.txt; the ctest entry
# "layers" (tools/check-layers.sh) checks every include against it.
#
#   fieldwish_layer(<folder>)
#
# creates the library with no sources yet (the folder's CMakeLists.txt adds
# them); it links the libraries of the folders the rule lets it include, so
# executables only name the top one.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/layers.txt FIELDWISH_LAYER_LINES REGEX "^[a-z]")
foreach(line IN LISTS FIELDWISH_LAYER_LINES)
  string(REGEX MATCHALL "[^ \t]+" words "${line}")
  list(POP_FRONT words folder)
  set(FIELDWISH_LAYER_BELOW_${folder} ${words})
endforeach()

function(fieldwish_layer folder)
  if(NOT FIELDWISH_LAYER_LINES MATCHES "(^|;)${folder}([ \t]|;|$)")
    message(FATAL_ERROR "cmake/layers.txt has no rule for ${folder}/")
  endif()
  add_library(fieldwish_${folder} STATIC)
  target_include_directories(fieldwish_${folder} PUBLIC ${CMAKE_SOURCE_DIR})
  foreach(lower IN LISTS FIELDWISH_LAYER_BELOW_${folder})
    target_link_libraries(fieldwish_${folder} PUBLIC fieldwish_${lower})
  endforeach()
endfunction()
