cmake_minimum_required(VERSION 3.20)

# Checks that the libraries include one way only: each folder's sources and
# headers include from itself and the folders below it, never from above.
# Prints the include graph between the folders as it finds it.
#
#   cmake -DROOT=<source dir> -P tools/check_layers.cmake
#
# The library tests link only their library and what is below it, which
# catches an upward call; this catches an upward include of plain data too.

set(allowed_havannah havannah)
set(allowed_platform platform)
set(allowed_engine engine havannah)
set(allowed_record record havannah)
set(allowed_settings settings)
set(allowed_board board havannah platform)
set(allowed_game game record board havannah platform)
set(allowed_acquire acquire game record board havannah platform)
set(allowed_help help platform)
set(allowed_database database record havannah)
set(layers havannah platform engine record database settings board game acquire help)
set(all_folders ${layers} app)

if(NOT ROOT)
  message(FATAL_ERROR "pass -DROOT=<source dir>")
endif()

set(faults "")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
  set(used "")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*$" "\\1" folder "${line}")
      if(folder STREQUAL line OR NOT folder IN_LIST all_folders)
        continue()  # a header of the same folder by its own name, or not a library's
      endif()
      file(RELATIVE_PATH where "${ROOT}" "${source}")
      # A library's own tests may use the test helpers below it; the check
      # is about the library's code.
      if(where MATCHES "^${layer}/tests/")
        continue()
      endif()
      list(APPEND used ${folder})
      if(NOT folder IN_LIST allowed_${layer})
        string(APPEND faults "  ${where} includes ${folder}/ (above ${layer}/)\n")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES used)
  list(REMOVE_ITEM used ${layer})
  list(SORT used)
  string(REPLACE ";" " " used "${used}")
  message(STATUS "${layer} -> ${used}")
endforeach()

if(faults)
  message(FATAL_ERROR "includes that go up a layer:\n${faults}")
endif()
