# The clipboard options in the settings file, and the Run entry of "start
# with Windows" in the (Wine) registry.
tarnwell_test(clipconv_test LABEL unit
  SOURCES unit/clipconv_test.cpp
  LIBS clipconv config)
