# Converting the clipboard from anywhere: tarnwell.exe runs, the test puts
# text on the real clipboard, presses the global hotkey and reads the result
# back; the held hotkey in the settings; the icon's menu; the close button.
# Hotkeys are global to the Wine session: the in-process main windows of the
# GUI tests would hold them too (RESOURCE_LOCK global_hotkeys).
tarnwell_test(clipboard_e2e_test LABEL e2e TIMEOUT 600
  SOURCES e2e/clipboard_e2e_test.cpp
  LIBS clipconv config shell32)
add_dependencies(clipboard_e2e_test tarnwell skeldon)
set_tests_properties(clipboard_e2e_test PROPERTIES
  RESOURCE_LOCK "tarnwell_profile;global_hotkeys")
