# cmake -DROOT=DIR -DENTRIES=a;b/c -DOUTPUT=FILE -P WriteFileList.cmake
# Writes FILE: every file of ENTRIES (files, or folders taken whole) as a
# path relative to ROOT, one a line, sorted. An entry that is not there stops
# the build. Written beside FILE and renamed into place.
set(files "")
foreach(entry IN LISTS ENTRIES)
  if(IS_DIRECTORY ${ROOT}/${entry})
    file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${ROOT} ${ROOT}/${entry}/*)
    if(NOT found)
      message(FATAL_ERROR "the product's folder ${ROOT}/${entry} is empty")
    endif()
    list(APPEND files ${found})
  elseif(EXISTS ${ROOT}/${entry})
    list(APPEND files ${entry})
  else()
    message(FATAL_ERROR "the product's file ${ROOT}/${entry} is not there")
  endif()
endforeach()
list(SORT files)
list(JOIN files "\n" text)
file(WRITE ${OUTPUT}.part "${text}\n")
file(RENAME ${OUTPUT}.part ${OUTPUT})
