# Fails when a folder of src/ includes a folder that comes after it in the order below, which is
# the order of docs/ARCHITECTURE.md: each folder builds only on the folders before it, so no two
# folders can include each other. Run as: cmake -DSOURCE_DIR=<repo>/src -P CheckIncludeOrder.cmake
set(order text system model pictures rtf pane suite document format files dialogs app)

set(violations "")
foreach(folder IN LISTS order)
  list(FIND order ${folder} rank)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([a-z]+)/.*" "\\1" target "${line}")
      list(FIND order ${target} targetRank)
      if(targetRank GREATER rank)
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
        list(APPEND violations "${shown}: ${line} (${folder} comes before ${target})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " report)
  message(FATAL_ERROR "Includes against the folder order:\n  ${report}")
endif()
message(STATUS "Folder includes follow the order: ${order}")
