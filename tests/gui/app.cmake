# The program's windows, driven in-process: the main window and its
# navigation, the about box, the progress dialog and the text pages.
add_library(gui_pump STATIC support/GuiPump.cpp)
target_link_libraries(gui_pump PUBLIC tarnwell_common user32)

tarnwell_test(app_test LABEL gui
  SOURCES gui/app_env.cpp gui/app_test.cpp $<TARGET_OBJECTS:app_resources>
  LIBS app gui_pump)
# Fifty conversions through the real progress display take a while.
tarnwell_test(app_pages_test LABEL gui TIMEOUT 900
  SOURCES gui/app_env.cpp gui/app_pages_test.cpp $<TARGET_OBJECTS:app_resources>
  LIBS app gui_pump)
add_dependencies(app_test skeldon)
add_dependencies(app_pages_test skeldon)

# The program's windows in chosen states, for tools/screenshots.sh.
add_executable(app_shots gui/app_shots.cpp $<TARGET_OBJECTS:app_resources>)
target_link_libraries(app_shots PRIVATE app tarnwell_common test_support shell32 ole32)
add_dependencies(app_shots skeldon runtime_files)
# Their main windows hold the global hotkeys while they run; the pages'
# test also writes the profile's settings (the standard), which the
# end-to-end tests' program reads.
set_tests_properties(app_test PROPERTIES RESOURCE_LOCK global_hotkeys)
set_tests_properties(app_pages_test PROPERTIES RESOURCE_LOCK "global_hotkeys;tarnwell_profile")
