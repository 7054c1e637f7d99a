# Copies what the modules need at run time beside them: the compiler's
# runtime DLLs (shared, see tarnwell_common), the dictionaries and the
# configurations of the ten standards.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(TARNWELL_LIBGCC_DLL libgcc_s_dw2-1.dll)
else()
  set(TARNWELL_LIBGCC_DLL libgcc_s_seh-1.dll)
endif()
set(_gccdir /usr/lib/gcc/${TARNWELL_TRIPLE}/12-posix)
set(TARNWELL_RUNTIME_DLLS
  ${_gccdir}/libstdc++-6.dll
  ${_gccdir}/${TARNWELL_LIBGCC_DLL}
  /usr/${TARNWELL_TRIPLE}/lib/libwinpthread-1.dll)
# The dictionaries (OpenCC's, with those its build generates) and the
# configurations that name them, made by third_party/opencc-data.sh.
if(NOT TARNWELL_DATA OR NOT EXISTS ${TARNWELL_DATA}/dictionaries.list)
  message(FATAL_ERROR "TARNWELL_DATA does not name the conversion data: build through the Makefile")
endif()
file(STRINGS ${TARNWELL_DATA}/dictionaries.list _dicts)
file(STRINGS ${TARNWELL_DATA}/configurations.list _configs)
set(TARNWELL_DICTIONARIES)
foreach(d IN LISTS _dicts)
  list(APPEND TARNWELL_DICTIONARIES ${TARNWELL_DATA}/${d})
endforeach()
set(TARNWELL_CONFIGURATIONS)
foreach(c IN LISTS _configs)
  list(APPEND TARNWELL_CONFIGURATIONS ${TARNWELL_DATA}/${c})
endforeach()

file(MAKE_DIRECTORY ${TARNWELL_BIN})
set(_stamps)
# Debian's runtime DLLs carry their debugging sections (libstdc++ alone is
# 23 MB), and Wine reads a DLL of 512-byte file alignment whole as it loads
# it: every start of a program spent about 25 ms reading them. The copies
# beside the programs, which also ship, are stripped and laid out on page
# boundaries, so that they are mapped.
set(TARNWELL_RUNTIME_COPIES)
foreach(f IN LISTS TARNWELL_RUNTIME_DLLS)
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${TARNWELL_BIN}/${name}
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --file-alignment 4096 ${f} ${TARNWELL_BIN}/${name}
    DEPENDS ${f} VERBATIM)
  list(APPEND _stamps ${TARNWELL_BIN}/${name})
  list(APPEND TARNWELL_RUNTIME_COPIES ${TARNWELL_BIN}/${name})
endforeach()
foreach(f IN LISTS TARNWELL_DICTIONARIES TARNWELL_CONFIGURATIONS)
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${TARNWELL_BIN}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${TARNWELL_BIN}/${name}
    DEPENDS ${f} VERBATIM)
  list(APPEND _stamps ${TARNWELL_BIN}/${name})
endforeach()
# The list glyphmap checks the dictionaries by, made from the dictionaries
# that ship (every file of TARNWELL_DICTIONARIES), so a new one is covered.
set(TARNWELL_DICTIONARY_LIST ${TARNWELL_BIN}/dictionaries.sha256)
add_custom_command(OUTPUT ${TARNWELL_DICTIONARY_LIST}
  COMMAND ${CMAKE_COMMAND} -DOUT=${TARNWELL_DICTIONARY_LIST} "-DFILES=${TARNWELL_DICTIONARIES}"
          -P ${CMAKE_SOURCE_DIR}/cmake/DictionaryList.cmake
  DEPENDS ${TARNWELL_DICTIONARIES} ${CMAKE_SOURCE_DIR}/cmake/DictionaryList.cmake
  COMMENT "Listing the dictionaries with their checksums" VERBATIM)
list(APPEND _stamps ${TARNWELL_DICTIONARY_LIST})
add_custom_target(runtime_files ALL DEPENDS ${_stamps})

# What ships: `make dist` installs the build into dist/<arch>/.
install(FILES ${TARNWELL_RUNTIME_COPIES} ${TARNWELL_DICTIONARIES} ${TARNWELL_CONFIGURATIONS}
  ${TARNWELL_DICTIONARY_LIST}
  DESTINATION .)
install(DIRECTORY ${TARNWELL_DEPS}/share/licenses/ DESTINATION licenses)
