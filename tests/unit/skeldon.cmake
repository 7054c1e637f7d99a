# The resource pack, reached through modgate as the program reaches it.
tarnwell_test(skeldon_test LABEL unit
  SOURCES unit/skeldon_test.cpp ${CMAKE_SOURCE_DIR}/skeldon/TextItems.cpp
  LIBS modgate skeldon_iface oleaut32)
add_dependencies(skeldon_test skeldon art_bitmaps)
