# Files on tarnwell.exe's command line, and handed from a second start to
# the running program (idle, and in the middle of a run).
tarnwell_test(handover_e2e_test LABEL e2e TIMEOUT 600
  SOURCES e2e/handover_e2e_test.cpp
  LIBS config engine shell32)
add_dependencies(handover_e2e_test tarnwell skeldon)
set_tests_properties(handover_e2e_test PROPERTIES RESOURCE_LOCK tarnwell_profile)
