tarnwell_test(skin_test LABEL gui
  SOURCES gui/skin_dlg_test.cpp gui/skin_btn_test.cpp gui/skin_scroll_test.cpp
          gui/skin_list_test.cpp gui/skin_text_test.cpp
          gui/skin_misc_test.cpp
          gui/skin_dialogs.rc
  LIBS skin fake_resmgr)
