# The conversion pipeline's writer and planner, driven end to end through the
# file pages' job (the command line's way in is in e2e/cli_test.cpp).
tarnwell_test(output_writer_test LABEL unit
  SOURCES unit/output_writer_test.cpp
  LIBS pages)

# A large file converted in parts on two threads against one thread.
tarnwell_test(parallel_convert_test LABEL unit
  SOURCES unit/parallel_convert_test.cpp
  LIBS pipeline)
