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
