# SPDX-License-Identifier: GPL-3.0-or-later
# Turns a plain address into the comma-separated number list the program
# stores instead of readable text: one number per character, each the
# character's code combined with the program's key by exclusive or.
function(kardelo_encode_address out_var address key)
  string(HEX "${address}" hex)
  string(LENGTH "${hex}" hex_length)
  set(numbers "")
  set(position 0)
  while(position LESS hex_length)
    string(SUBSTRING "${hex}" ${position} 2 byte)
    math(EXPR code "0x${byte}")
    if(code GREATER 127)
      message(FATAL_ERROR "Server addresses must be plain ASCII: ${address}")
    endif()
    math(EXPR number "${code} ^ ${key}")
    list(APPEND numbers ${number})
    math(EXPR position "${position} + 2")
  endwhile()
  string(REPLACE ";" "," numbers "${numbers}")
  set(${out_var} "${numbers}" PARENT_SCOPE)
endfunction()

# Reads the key from the header that the decoder is compiled with, so the
# two can never disagree.
function(kardelo_read_address_key out_var header)
  file(STRINGS "${header}" line REGEX "kAddressKey = [0-9]+")
  string(REGEX MATCH "kAddressKey = [0-9]+" key "${line}")
  string(REGEX REPLACE "[^0-9]" "" key "${key}")
  if(key STREQUAL "")
    message(FATAL_ERROR "No address key found in ${header}")
  endif()
  set(${out_var} ${key} PARENT_SCOPE)
endfunction()
