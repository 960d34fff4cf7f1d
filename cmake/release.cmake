# The release a Windows user takes: lumenvik-<version>-x86.zip from the i686
# tree, lumenvik-<version>-x64.zip from the x86_64 one, each with the
# program, its hook DLL (of the same bitness), the read-me and the settings
# file, in a folder of the same name. Built
# with the Windows tree (target "release", part of "all"), so every build
# proves the package can be made; the ctest test release_package checks it.
# Size of the two binaries: unused sections are dropped, and the optimised
# builds (tools/build uses MinSizeRel) carry no symbol tables; the static C++
# runtime's symbols were more than half of each file.
# A terse terminate handler keeps the C++ runtime's demangler out as well
# (win/terminate_handler.cpp; linked as an object, ahead of the runtime).
foreach(binary lumenvik tapwatch)
  target_link_options(${binary} PRIVATE -Wl,--gc-sections $<$<CONFIG:MinSizeRel,Release>:-s>)
  target_sources(${binary} PRIVATE ${CMAKE_SOURCE_DIR}/win/terminate_handler.cpp)
endforeach()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LUMENVIK_RELEASE_NAME lumenvik-${PROJECT_VERSION}-x64)
  set(_machine 8664)  # the PE header's machine type, IMAGE_FILE_MACHINE_AMD64
else()
  set(LUMENVIK_RELEASE_NAME lumenvik-${PROJECT_VERSION}-x86)
  set(_machine 014c)  # IMAGE_FILE_MACHINE_I386
endif()
set(_stage_root ${CMAKE_BINARY_DIR}/release)
set(_stage ${_stage_root}/${LUMENVIK_RELEASE_NAME})
set(LUMENVIK_RELEASE_ZIP ${CMAKE_BINARY_DIR}/${LUMENVIK_RELEASE_NAME}.zip)
set(_readme_in ${CMAKE_SOURCE_DIR}/resources/readme.txt.in)
set(_ini_in ${CMAKE_SOURCE_DIR}/resources/lumenvik.ini)
# The licence of the dictionary's source, as Debian's edict package ships it.
set(_dict_licence /usr/share/doc/edict/copyright)
# The settings file as the zip holds it, for the tests that start from it.
set(LUMENVIK_RELEASE_INI ${_stage}/lumenvik.ini)

add_custom_command(OUTPUT ${LUMENVIK_RELEASE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage_root}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:lumenvik> $<TARGET_FILE:tapwatch> ${_stage}
  COMMAND ${CMAKE_COMMAND} -DIN=${_readme_in} -DOUT=${_stage}/readme.txt
          -DPROJECT_VERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/make_readme.cmake
  # The settings file with the search modes that work today, written the
  # same way: its byte order mark keeps Notepad on UTF-8, and the first line
  # is a comment, so a reader that did not skip the mark loses nothing.
  COMMAND ${CMAKE_COMMAND} -DIN=${_ini_in} -DOUT=${_stage}/lumenvik.ini
          -DPROJECT_VERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/make_readme.cmake
  # The offline dictionary beside the program, with its licence, the
  # package's copyright file, as Windows' Notepad reads it.
  COMMAND ${CMAKE_COMMAND} -E copy ${LUMENVIK_DICT} ${_stage}
  COMMAND ${CMAKE_COMMAND} -DIN=${_dict_licence} -DOUT=${_stage}/lumenvik-dict-licence.txt
          -DPROJECT_VERSION=${PROJECT_VERSION} -DRAW=1 -P ${CMAKE_SOURCE_DIR}/cmake/make_readme.cmake
  COMMAND ${CMAKE_COMMAND} -E rm -f ${LUMENVIK_RELEASE_ZIP}
  # A fixed time stamp: the same binaries give the same archive.
  COMMAND ${CMAKE_COMMAND} -E chdir ${_stage_root}
          ${CMAKE_COMMAND} -E tar cf ${LUMENVIK_RELEASE_ZIP} --format=zip
          "--mtime=2000-01-01 00:00:00Z" -- ${LUMENVIK_RELEASE_NAME}
  DEPENDS lumenvik tapwatch ${_readme_in} ${_ini_in} ${CMAKE_SOURCE_DIR}/cmake/make_readme.cmake
          ${LUMENVIK_DICT} dictionary_file ${_dict_licence}
  COMMENT "Packing ${LUMENVIK_RELEASE_NAME}.zip"
  VERBATIM)
add_custom_target(release ALL DEPENDS ${LUMENVIK_RELEASE_ZIP})

# The package holds exactly the built binaries, both made for this tree's
# machine, the settings file and a read-me a Japanese Windows user can open
# (checked from the zip itself, not the staging folder).
set(_check_args -DZIP=${LUMENVIK_RELEASE_ZIP} -DNAME=${LUMENVIK_RELEASE_NAME} -DDICT=${LUMENVIK_DICT}
    -DEXE=$<TARGET_FILE:lumenvik> -DDLL=$<TARGET_FILE:tapwatch>
    -DPROJECT_VERSION=${PROJECT_VERSION})
add_test(NAME release_package
  COMMAND ${CMAKE_COMMAND} ${_check_args} -DMACHINE=${_machine}
          -DWORK=${CMAKE_BINARY_DIR}/release-check -P ${CMAKE_SOURCE_DIR}/cmake/check_release.cmake)
# The same check, told to expect the other machine, must name both binaries:
# a zip whose program and DLL differ in bitness cannot pass.
if(_machine STREQUAL 8664)
  set(_other_machine 014c)
else()
  set(_other_machine 8664)
endif()
add_test(NAME release_package_bitness_check
  COMMAND ${CMAKE_COMMAND} ${_check_args} -DMACHINE=${_other_machine}
          -DWORK=${CMAKE_BINARY_DIR}/release-check-bitness
          -P ${CMAKE_SOURCE_DIR}/cmake/check_release.cmake)
set_tests_properties(release_package_bitness_check PROPERTIES PASS_REGULAR_EXPRESSION
  "lumenvik.exe is built for machine ${_machine}, expected ${_other_machine}.*tapwatch.dll is built for machine ${_machine}, expected ${_other_machine}")
