# The resource pack's failure box, watched and closed from a second thread.
tarnwell_test(skeldon_box_test LABEL gui
  SOURCES gui/skeldon_box_test.cpp
  LIBS modgate skeldon_iface oleaut32)
add_dependencies(skeldon_box_test skeldon art_bitmaps)
