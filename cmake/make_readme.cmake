# cmake -DIN=readme.txt.in -DOUT=readme.txt -DPROJECT_VERSION=x.y.z -P make_readme.cmake
#
# A text file of the release for Japanese Windows users (the read-me, the
# settings file): UTF-8 with a byte
# order mark and CR LF line ends. Notepad of every Windows version since XP
# recognises UTF-8 by its mark whatever the system code page (without it,
# older Notepad takes the text for code page 932 and garbles it), and the
# same file also reads correctly on a non-Japanese system or in a browser,
# which a code page 932 file would not.
foreach(var IN ITEMS IN OUT PROJECT_VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_readme.cmake: ${var} is not set")
  endif()
endforeach()
file(READ ${IN} body)
# RAW=1: a file of others (the dictionary's licence), taken as it is.
if(NOT RAW)
  string(CONFIGURE "${body}" body @ONLY)
endif()
string(REPLACE "\r\n" "\n" body "${body}")
string(REPLACE "\n" "\r\n" body "${body}")
string(ASCII 239 187 191 bom)
file(WRITE ${OUT} "${bom}${body}")
