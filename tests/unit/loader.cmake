# The program's binding to the resource pack.
tarnwell_test(loader_test LABEL unit
  SOURCES unit/loader_test.cpp
  LIBS loader)
add_dependencies(loader_test skeldon)
