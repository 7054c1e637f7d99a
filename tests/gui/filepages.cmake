# The file pages, the settings dialog and the file encoding dialog, driven
# in-process over the real resource pack.
tarnwell_test(filepages_dialogs_test LABEL gui
  SOURCES gui/filepages_dialogs_test.cpp gui/filepages.rc
  LIBS pages)
add_dependencies(filepages_dialogs_test skeldon)

tarnwell_test(filepages_page_test LABEL gui TIMEOUT 600
  SOURCES gui/filepages_page_test.cpp gui/filepages.rc
  LIBS pages)
add_dependencies(filepages_page_test skeldon textio_samples)
# The resource compiler's includes are not tracked: name them, so that a
# changed template reaches the tests.
set_source_files_properties(gui/filepages.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/pages/FilePages.rc;${CMAKE_SOURCE_DIR}/pages/ConvPages.rc;${CMAKE_SOURCE_DIR}/pages/FilePagesIds.h;${CMAKE_SOURCE_DIR}/pages/PageIds.h")
