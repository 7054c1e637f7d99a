tarnwell_test(fw_test LABEL gui
  SOURCES gui/fw_test.cpp gui/fw_dialogs.rc
  LIBS fw)
