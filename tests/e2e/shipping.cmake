# What ships: files dropped on a file page (in-process), the portable zip
# unpacked into a folder with a Chinese name and the installer, both run
# end to end under Wine. The packages are built once per run by a fixture
# and kept while the build does not change.
tarnwell_test(shipping_drop_test LABEL gui
  SOURCES e2e/shipping_drop_test.cpp gui/filepages.rc
  LIBS pages)
add_dependencies(shipping_drop_test skeldon)

add_test(NAME shipping_packages
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/shipping_packages.sh ${CMAKE_BINARY_DIR})
set_tests_properties(shipping_packages PROPERTIES LABELS e2e TIMEOUT 300
  FIXTURES_SETUP shipping_packages)

tarnwell_test(shipping_e2e_test LABEL e2e TIMEOUT 600
  SOURCES e2e/shipping_e2e_test.cpp
  LIBS config engine pages shell32 version advapi32)
add_dependencies(shipping_e2e_test tarnwell skeldon textio_samples)
# The unpacked folder and the installer, as the program under Wine sees them.
string(REPLACE "/" "\\" _ship_dir "Z:${CMAKE_BINARY_DIR}/shipping")
set_tests_properties(shipping_e2e_test PROPERTIES
  RESOURCE_LOCK tarnwell_profile FIXTURES_REQUIRED shipping_packages
  ENVIRONMENT "TARNWELL_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;TARNWELL_SHIPPING=${_ship_dir}")
