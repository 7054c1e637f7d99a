# tarnwell.exe driven from a second process. The program keeps its settings
# in the Wine prefix's profile, so these tests never run at the same time.
tarnwell_test(program_start_e2e LABEL e2e
  SOURCES e2e/program_start_e2e_test.cpp
  LIBS config shell32)
tarnwell_test(text_pages_e2e LABEL e2e
  SOURCES e2e/text_pages_e2e_test.cpp
  LIBS config shell32)
tarnwell_test(robustness_e2e LABEL e2e
  SOURCES e2e/robustness_e2e_test.cpp
  LIBS config shell32)
foreach(t program_start_e2e text_pages_e2e robustness_e2e)
  add_dependencies(${t} tarnwell skeldon)
  set_tests_properties(${t} PROPERTIES RESOURCE_LOCK tarnwell_profile)
endforeach()
