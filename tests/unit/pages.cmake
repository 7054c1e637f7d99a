tarnwell_test(filejob_test LABEL unit TIMEOUT 600
  SOURCES unit/filejob_test.cpp
  LIBS pages)
tarnwell_test(filejob_engine_test LABEL unit
  SOURCES unit/filejob_engine_test.cpp
  LIBS pages GLYPHMAP fake_glyphmap)
