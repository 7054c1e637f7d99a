tarnwell_test(engine_test LABEL unit
  SOURCES unit/engine_test.cpp unit/worker_test.cpp
  LIBS engine GLYPHMAP fake_glyphmap)
tarnwell_test(glyphmap_test LABEL unit
  SOURCES unit/glyphmap_test.cpp unit/conversion_test.cpp unit/wordlist_test.cpp
    unit/places_test.cpp
  LIBS engine glyphmap_core)

# Real Chinese text for the differential test: Debian's manual pages.
set(TESTDATA ${CMAKE_BINARY_DIR}/testdata)
foreach(loc zh_CN zh_TW)
  add_custom_command(OUTPUT ${TESTDATA}/manpages_${loc}.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TESTDATA}
    COMMAND sh -c "zcat /usr/share/man/${loc}/man*/*.gz > ${TESTDATA}/manpages_${loc}.txt"
    VERBATIM)
  list(APPEND testdata_files ${TESTDATA}/manpages_${loc}.txt)
endforeach()
add_custom_target(testdata_manpages DEPENDS ${testdata_files})

tarnwell_test(glyphmap_diff_test LABEL unit TIMEOUT 900
  SOURCES unit/glyphmap_diff_test.cpp
  LIBS glyphmap_core engine)
add_dependencies(glyphmap_diff_test testdata_manpages)
add_dependencies(glyphmap_test testdata_manpages)
