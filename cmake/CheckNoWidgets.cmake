# Fails when the program given links a library it must run without: the converter reads and
# writes documents with Qt's Core and Gui alone, so that it starts fast and needs none of the
# widgets' libraries installed. Reads the libraries the program names (readelf -d), which is what
# the loader loads, whatever the build's targets say.
# Run as: cmake -DPROGRAM=<file> -DFORBIDDEN=libQt6Widgets,libQt6PrintSupport -P CheckNoWidgets.cmake
find_program(READELF readelf REQUIRED)
string(REPLACE "," ";" forbidden "${FORBIDDEN}")
if(NOT forbidden)
  message(FATAL_ERROR "FORBIDDEN names no library")
endif()
execute_process(COMMAND ${READELF} -d "${PROGRAM}" OUTPUT_VARIABLE dynamic
                RESULT_VARIABLE failed ERROR_VARIABLE error)
if(failed)
  message(FATAL_ERROR "readelf could not read ${PROGRAM}: ${error}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]+\\]" needed "${dynamic}")
if(NOT needed)
  message(FATAL_ERROR "${PROGRAM} names no libraries: not a dynamically linked program?")
endif()
set(found "")
foreach(entry IN LISTS needed)
  string(REGEX REPLACE ".*\\[([^]]+)\\]" "\\1" library "${entry}")
  foreach(name IN LISTS forbidden)
    if(library MATCHES "^${name}\\.so")
      list(APPEND found "${library}")
    endif()
  endforeach()
endforeach()
if(found)
  list(JOIN found ", " shown)
  message(FATAL_ERROR "${PROGRAM} links ${shown}")
endif()
message(STATUS "${PROGRAM} links none of: ${FORBIDDEN}")
