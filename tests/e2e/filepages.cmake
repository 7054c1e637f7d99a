# The file pages end to end: bin/tarnwell.exe driven from a second process.
# Every test shares the Wine prefix's settings file, hence the lock.
tarnwell_test(filepages_e2e_test LABEL e2e TIMEOUT 900
  SOURCES e2e/filepages_e2e_test.cpp
  LIBS config engine shell32)
add_dependencies(filepages_e2e_test tarnwell textio_samples)
set_tests_properties(filepages_e2e_test PROPERTIES RESOURCE_LOCK tarnwell_profile)
# The same under a Traditional Chinese system (code page 950).
add_test(NAME filepages_e2e_cp950_test
  COMMAND filepages_e2e_test --gtest_color=no
          --gtest_filter=*Big5*:*Japanese*)
set_tests_properties(filepages_e2e_cp950_test PROPERTIES LABELS e2e TIMEOUT 600
  RESOURCE_LOCK tarnwell_profile
  ENVIRONMENT "TARNWELL_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;TARNWELL_LOCALE=zh_TW.UTF-8")
