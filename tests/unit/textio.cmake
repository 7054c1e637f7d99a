# Sample paragraphs in the legacy Chinese encodings, made from the UTF-8
# texts with the host's iconv and placed beside the test program.
find_program(TARNWELL_ICONV iconv REQUIRED)
set(textio_samples)
foreach(pair "zh_hans;GB18030;gb18030" "zh_hant;BIG5;big5")
  list(GET pair 0 text)
  list(GET pair 1 charset)
  list(GET pair 2 suffix)
  set(src ${CMAKE_CURRENT_SOURCE_DIR}/unit/textio_${text}.txt)
  add_custom_command(
    OUTPUT ${TARNWELL_BIN}/textio_${text}.${suffix} ${TARNWELL_BIN}/textio_${text}.txt
    COMMAND ${TARNWELL_ICONV} -f UTF-8 -t ${charset} ${src} -o ${TARNWELL_BIN}/textio_${text}.${suffix}
    COMMAND ${CMAKE_COMMAND} -E copy ${src} ${TARNWELL_BIN}/textio_${text}.txt
    DEPENDS ${src}
    VERBATIM)
  list(APPEND textio_samples ${TARNWELL_BIN}/textio_${text}.${suffix} ${TARNWELL_BIN}/textio_${text}.txt)
endforeach()
add_custom_target(textio_samples DEPENDS ${textio_samples})

tarnwell_test(textio_test LABEL unit
  SOURCES unit/textio_reader_test.cpp unit/textio_detect_test.cpp unit/textio_utf8scan_test.cpp
  LIBS textio)
add_dependencies(textio_test textio_samples)

# The ANSI reader again under a Traditional Chinese system (code page 950).
add_test(NAME textio_cp950_test
  COMMAND textio_test --gtest_color=no --gtest_filter=AnsiReader.*:Detect*)
set_tests_properties(textio_cp950_test PROPERTIES LABELS unit TIMEOUT 300
  ENVIRONMENT "TARNWELL_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;TARNWELL_LOCALE=zh_TW.UTF-8")
