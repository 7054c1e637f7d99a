# The windows at 100%, 125%, 150% and 200% display scale: one program run
# once per DPI, each in a Wine prefix of its own made with that LogPixels
# (tools/wine-prefix.sh reads TARNWELL_LOGPIXELS when it boots a prefix).
tarnwell_test(dpi_test LABEL gui
  SOURCES gui/app_env.cpp gui/dpi_test.cpp $<TARGET_OBJECTS:app_resources>
  LIBS app gui_pump)
add_dependencies(dpi_test skeldon)
# Its main window starts the hotkeys once it shows, in the prefix (and Wine
# session) the clipboard test's program uses; the other scales run in
# prefixes of their own.
set_tests_properties(dpi_test PROPERTIES RESOURCE_LOCK global_hotkeys)
foreach(dpi 120 144 192)
  add_test(NAME dpi_test_${dpi} COMMAND dpi_test --gtest_color=no)
  set_tests_properties(dpi_test_${dpi} PROPERTIES LABELS gui TIMEOUT 300
    ENVIRONMENT "TARNWELL_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-dpi${dpi};TARNWELL_LOGPIXELS=${dpi}")
endforeach()
