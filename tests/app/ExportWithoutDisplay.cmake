# Runs `dunstrel --export FILE FOLDER` with no window system at all and reads the file back.
# Called with -DPROGRAM=... -DWORK=... (a folder of its own under the build tree).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/tree/sub")
file(WRITE "${WORK}/tree/a.txt" "12345")
file(WRITE "${WORK}/tree/sub/b.bin" "1234567890")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          "${PROGRAM}" --export "${WORK}/scan.json" "${WORK}/tree"
  RESULT_VARIABLE Status ERROR_VARIABLE Errors)
if(NOT Status EQUAL 0)
  message(FATAL_ERROR "--export failed (${Status}): ${Errors}")
endif()
if(NOT Errors STREQUAL "")
  message(FATAL_ERROR "progress went to a standard error that is no terminal: ${Errors}")
endif()
file(READ "${WORK}/scan.json" Json)
string(JSON Major GET "${Json}" 0)
string(JSON Root GET "${Json}" 3 0 name)
string(JSON Entries LENGTH "${Json}" 3)
if(NOT Major EQUAL 1 OR NOT Root STREQUAL "${WORK}/tree" OR NOT Entries EQUAL 3)
  message(FATAL_ERROR "unexpected export: ${Json}")
endif()
# The file and the folder in either order; sizes are the files' own.
set(Found "")
foreach(Index 1 2)
  string(JSON Type TYPE "${Json}" 3 ${Index})
  if(Type STREQUAL "OBJECT")
    string(JSON Name GET "${Json}" 3 ${Index} name)
    string(JSON Size GET "${Json}" 3 ${Index} asize)
  else()
    string(JSON Name GET "${Json}" 3 ${Index} 1 name)
    string(JSON Size GET "${Json}" 3 ${Index} 1 asize)
  endif()
  list(APPEND Found "${Name}=${Size}")
endforeach()
list(SORT Found)
if(NOT Found STREQUAL "a.txt=5;b.bin=10")
  message(FATAL_ERROR "unexpected entries ${Found}: ${Json}")
endif()

# "-" writes the export to standard output, and nothing else goes there.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          "${PROGRAM}" --export - "${WORK}/tree"
  RESULT_VARIABLE Status OUTPUT_VARIABLE Piped ERROR_VARIABLE Errors)
if(NOT Status EQUAL 0)
  message(FATAL_ERROR "--export - failed (${Status}): ${Errors}")
endif()
string(JSON PipedRoot GET "${Piped}" 3 0 name)
string(JSON PipedEntries LENGTH "${Piped}" 3)
if(NOT PipedRoot STREQUAL "${WORK}/tree" OR NOT PipedEntries EQUAL 3)
  message(FATAL_ERROR "unexpected export on standard output: ${Piped}")
endif()

# The messages are in the user's language, as the window's are.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          --unset=LC_ALL --unset=LC_MESSAGES "HOME=${WORK}" "XDG_CONFIG_HOME=${WORK}/config"
          LANGUAGE=de LANG=de_DE.UTF-8
          "${PROGRAM}" --export "${WORK}/missing/scan.json" "${WORK}/tree"
  RESULT_VARIABLE Status ERROR_VARIABLE Errors)
if(Status EQUAL 0 OR NOT Errors MATCHES "kann nicht gespeichert werden: .*/missing: nicht gefunden")
  message(FATAL_ERROR "a failed export in German (${Status}): ${Errors}")
endif()
