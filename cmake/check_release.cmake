# cmake -DZIP=... -DNAME=... -DEXE=... -DDLL=... -DDICT=... -DMACHINE=...
#       -DPROJECT_VERSION=... -DWORK=... -P check_release.cmake
# Unpacks the release zip and checks what a user gets: exactly the folder
# NAME with lumenvik.exe, tapwatch.dll (the very binaries of the build, both
# with the PE machine type MACHINE, in hex: 014c for x86, 8664 for x64), the
# dictionary lumenvik-dict.bin (the build's) with its licence, and
# readme.txt, lumenvik.ini and the licence in UTF-8 with a byte order mark
# and CR LF line ends; the read-me names the version, the settings file, the
# way to end the program and the dictionary's source, the licence is the
# dictionary group's, the settings file starts with a comment line.
set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "no release package at ${ZIP}")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${ZIP}" WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${ZIP}")
endif()

file(GLOB_RECURSE entries RELATIVE "${WORK}" LIST_DIRECTORIES false "${WORK}/*")
list(SORT entries)
set(expected "${NAME}/lumenvik-dict-licence.txt;${NAME}/lumenvik-dict.bin;${NAME}/lumenvik.exe;${NAME}/lumenvik.ini;${NAME}/readme.txt;${NAME}/tapwatch.dll")
if(NOT entries STREQUAL expected)
  fail("files are [${entries}], expected [${expected}]")
endif()

foreach(pair IN ITEMS "lumenvik.exe|${EXE}" "tapwatch.dll|${DLL}" "lumenvik-dict.bin|${DICT}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 built)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${NAME}/${name}" "${built}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    fail("${name} differs from the build's ${built}")
  endif()
endforeach()

# A 64-bit program cannot load a 32-bit DLL, nor the reverse.
foreach(name IN ITEMS lumenvik.exe tapwatch.dll)
  set(path "${WORK}/${NAME}/${name}")
  if(NOT EXISTS "${path}")
    continue()
  endif()
  # e_lfanew (little-endian, at 0x3C) points at "PE\0\0"; the machine
  # type follows it.
  file(READ "${path}" pe_at OFFSET 60 LIMIT 4 HEX)
  string(REGEX REPLACE "^(..)(..)(..)(..)$" "\\4\\3\\2\\1" pe_at "${pe_at}")
  math(EXPR pe_at "0x${pe_at} + 0")
  file(READ "${path}" signature OFFSET ${pe_at} LIMIT 4 HEX)
  math(EXPR machine_at "${pe_at} + 4")
  file(READ "${path}" machine OFFSET ${machine_at} LIMIT 2 HEX)
  string(REGEX REPLACE "^(..)(..)$" "\\2\\1" machine "${machine}")
  if(NOT signature STREQUAL "50450000")
    fail("${name} has no PE header")
  elseif(NOT machine STREQUAL "${MACHINE}")
    fail("${name} is built for machine ${machine}, expected ${MACHINE}")
  endif()
endforeach()

foreach(name IN ITEMS readme.txt lumenvik.ini lumenvik-dict-licence.txt)
  set(path "${WORK}/${NAME}/${name}")
  if(NOT EXISTS "${path}")
    continue()
  endif()
  file(READ "${path}" head LIMIT 3 HEX)
  if(NOT head STREQUAL "efbbbf")
    fail("${name} does not start with the UTF-8 byte order mark (starts ${head})")
  endif()
  file(READ "${path}" hex HEX)
  # Walk byte by byte: a regex over the hex text would also match "0a"
  # across two bytes.
  string(LENGTH "${hex}" hex_length)
  set(bare_lf 0)
  set(lines 0)
  math(EXPR last "${hex_length} - 2")
  foreach(i RANGE 0 ${last} 2)
    string(SUBSTRING "${hex}" ${i} 2 byte)
    if(byte STREQUAL "0a")
      math(EXPR lines "${lines} + 1")
      if(i EQUAL 0)
        math(EXPR bare_lf "${bare_lf} + 1")
      else()
        math(EXPR j "${i} - 2")
        string(SUBSTRING "${hex}" ${j} 2 before)
        if(NOT before STREQUAL "0d")
          math(EXPR bare_lf "${bare_lf} + 1")
        endif()
      endif()
    endif()
  endforeach()
  if(lines EQUAL 0 OR NOT bare_lf EQUAL 0)
    fail("${name} has ${bare_lf} of ${lines} line ends without CR")
  endif()
endforeach()

set(readme "${WORK}/${NAME}/readme.txt")
if(EXISTS "${readme}")
  file(READ "${readme}" text)
  foreach(needle IN ITEMS "Lumenvik ${PROJECT_VERSION}" "lumenvik.ini" "lumenvik.exe の隣"
                          "終了(X)" "Ctrl を2回" "Page Up / Page Down" "Shift + Enter" "Esc"
                          "[SearchModes]" "Program Files" "tapwatch.dll" "searchCopiedText=1"
                          "keepHistory=1" "lumenvik-history.txt" "履歴を消去(C)" "表示位置(P)"
                          "Windows の起動時に実行(R)" "showOn=mouse" "shell:startup"
                          "その他のシステムトレイアイコン"
                          "Electronic Dictionary Research and Development Group" "EDICT"
                          "lumenvik-dict-licence.txt" "Attribution-ShareAlike" "dictN=on")
    string(FIND "${text}" "${needle}" at)
    if(at EQUAL -1)
      fail("readme.txt does not mention \"${needle}\"")
    endif()
  endforeach()
endif()
set(licence "${WORK}/${NAME}/lumenvik-dict-licence.txt")
if(EXISTS "${licence}")
  file(READ "${licence}" text)
  foreach(needle IN ITEMS "ELECTRONIC DICTIONARY RESEARCH AND DEVELOPMENT GROUP"
                          "GENERAL DICTIONARY LICENCE STATEMENT" "Attribution-ShareAlike")
    string(FIND "${text}" "${needle}" at)
    if(at EQUAL -1)
      fail("lumenvik-dict-licence.txt does not hold \"${needle}\"")
    endif()
  endforeach()
endif()
set(ini "${WORK}/${NAME}/lumenvik.ini")
if(EXISTS "${ini}")
  file(READ "${ini}" head OFFSET 3 LIMIT 1 HEX)
  if(NOT head STREQUAL "3b")
    fail("lumenvik.ini does not start with a comment line")
  endif()
endif()

file(REMOVE_RECURSE "${WORK}")
if(failures)
  message(FATAL_ERROR "release package ${ZIP}:\n${failures}")
endif()
message(STATUS "release package ${ZIP}: ${entries}")
