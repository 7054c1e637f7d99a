tarnwell_test(engine_test LABEL unit
  SOURCES unit/engine_test.cpp unit/worker_test.cpp
  LIBS engine fake_glyphmap)
tarnwell_test(glyphmap_test LABEL unit
  SOURCES unit/glyphmap_test.cpp unit/conversion_test.cpp
  LIBS engine glyphmap)
