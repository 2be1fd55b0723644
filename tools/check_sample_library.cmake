# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the sample library from its sources with kardelo-library and checks
# that every file written is the committed one, byte for byte, that lists/
# holds nothing the build does not write, and that every lecture served from
# the sample server's root has its audio.
#   cmake -DTOOL=... -DSOURCE=... -DLIBRARY=... -DSCRATCH=... -P check_sample_library.cmake
set(root http://127.0.0.1:18418/)
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND "${TOOL}" build --root ${root} "${SOURCE}" "${SCRATCH}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kardelo-library build refused the sample sources:\n${errors}")
endif()

set(problems "")
file(GLOB_RECURSE built RELATIVE "${SCRATCH}" "${SCRATCH}/*")
foreach(path IN LISTS built)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SCRATCH}/${path}" "${LIBRARY}/${path}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    string(APPEND problems "  ${path} differs from what its sources build\n")
  endif()
endforeach()
file(GLOB committed_lists RELATIVE "${LIBRARY}" "${LIBRARY}/lists/*")
foreach(path IN LISTS committed_lists)
  if(NOT EXISTS "${SCRATCH}/${path}")
    string(APPEND problems "  ${path} is built from no source\n")
  endif()
endforeach()
# Addresses are ASCII, and no byte of a GB2312 character is.
foreach(path IN LISTS built)
  file(READ "${SCRATCH}/${path}" text)
  string(REGEX MATCHALL "\\*http://127\\.0\\.0\\.1:18418/[!-~]+" addresses "${text}")
  foreach(address IN LISTS addresses)
    string(REPLACE "*${root}" "" relative "${address}")
    if(NOT EXISTS "${LIBRARY}/${relative}")
      string(APPEND problems "  ${relative} is missing; run tools/make-sample-audio.sh\n")
    endif()
  endforeach()
endforeach()
file(REMOVE_RECURSE "${SCRATCH}")

if(problems)
  message(FATAL_ERROR "The sample library is stale:\n${problems}"
                      "Rebuild it: kardelo-library build --root ${root} tools/sample-library-source tools/sample-library")
endif()
list(LENGTH built count)
message(STATUS "The sample library matches its sources: ${count} files")
