tarnwell_test(filejob_test LABEL unit TIMEOUT 600
  SOURCES unit/filejob_test.cpp
  LIBS pages)
add_dependencies(filejob_test testdata_manpages)
tarnwell_test(filejob_engine_test LABEL unit
  SOURCES unit/filejob_engine_test.cpp
  LIBS pages GLYPHMAP fake_glyphmap)

tarnwell_test(codepage_test LABEL unit
  SOURCES unit/codepage_test.cpp
  LIBS pages)
add_dependencies(codepage_test textio_samples)
# The same under a Traditional Chinese system (code page 950).
add_test(NAME codepage_cp950_test COMMAND codepage_test --gtest_color=no)
set_tests_properties(codepage_cp950_test PROPERTIES LABELS unit TIMEOUT 300
  ENVIRONMENT "TARNWELL_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;TARNWELL_LOCALE=zh_TW.UTF-8")

tarnwell_test(proofreading_test LABEL unit
  SOURCES unit/proofreading_test.cpp
  LIBS pages GLYPHMAP fake_glyphmap)
