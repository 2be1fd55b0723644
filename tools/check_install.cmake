# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch folder and checks the result is the
# self-contained folder a user gets: program, desktop entry, icons in the
# sizes named, with the entry pointing at this very folder.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()

if(NOT EXISTS "${PREFIX}/kardelo" OR IS_DIRECTORY "${PREFIX}/kardelo")
  message(FATAL_ERROR "the program is missing from ${PREFIX}")
endif()

foreach(size 32 64 128 256)
  set(icon "${PREFIX}/icons/hicolor/${size}x${size}/apps/kardelo.png")
  if(NOT EXISTS "${icon}")
    message(FATAL_ERROR "missing ${icon}")
  endif()
  # A PNG's width and height stand at bytes 16 to 23, big-endian.
  file(READ "${icon}" header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 width_hex)
  string(SUBSTRING "${header}" 8 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  if(NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "${icon} is ${width}x${height}, not ${size}x${size}")
  endif()
endforeach()

file(READ "${PREFIX}/kardelo.desktop" entry)
string(FIND "${entry}" "Exec=\"${PREFIX}/kardelo\"" exec_at)
string(FIND "${entry}" "Icon=${PREFIX}/icons/" icon_at)
if(exec_at EQUAL -1 OR icon_at EQUAL -1)
  message(FATAL_ERROR "the desktop entry does not point into ${PREFIX}:\n${entry}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
