tarnwell_test(skin_test LABEL gui
  SOURCES gui/skin_dlg_test.cpp gui/skin_btn_test.cpp gui/skin_scroll_test.cpp
          gui/skin_list_test.cpp gui/skin_text_test.cpp
          gui/skin_misc_test.cpp
          gui/skin_dialogs.rc
  LIBS skin fake_resmgr)

# The gallery: every skinned control in each state on the resource pack's
# faces, for screenshots (tests/gui/gallery/Gallery.cpp says how to run it).
add_executable(skin_gallery gui/gallery/Gallery.cpp gui/gallery/gallery.rc)
target_link_libraries(skin_gallery PRIVATE skin loader tarnwell_common shell32 ole32)
add_dependencies(skin_gallery skeldon runtime_files)
