# tarnwell.exe driven from a second process. The program keeps its settings
# in the Wine prefix's profile, so these tests never run at the same time.
add_library(program_driver STATIC support/ProgramDriver.cpp)
target_link_libraries(program_driver PUBLIC tarnwell_common test_support user32)

tarnwell_test(program_start_e2e LABEL e2e
  SOURCES e2e/program_start_e2e_test.cpp
  LIBS program_driver config shell32)
tarnwell_test(text_pages_e2e LABEL e2e
  SOURCES e2e/text_pages_e2e_test.cpp
  LIBS program_driver config shell32)
tarnwell_test(robustness_e2e LABEL e2e
  SOURCES e2e/robustness_e2e_test.cpp
  LIBS program_driver config shell32)
foreach(t program_start_e2e text_pages_e2e robustness_e2e)
  add_dependencies(${t} tarnwell skeldon)
  set_tests_properties(${t} PROPERTIES RESOURCE_LOCK tarnwell_profile)
endforeach()
