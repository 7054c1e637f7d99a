# The generated skin bitmaps, as the loose files the build copies beside
# the programs.
tarnwell_test(art_test LABEL unit SOURCES unit/art_test.cpp LIBS skeldon_iface modgate)
add_dependencies(art_test art_bitmaps)
