# The component loader, with skeldon.dat as its server.
tarnwell_test(modgate_test LABEL unit
  SOURCES unit/modgate_test.cpp
  LIBS modgate skeldon_iface)
add_dependencies(modgate_test skeldon)
