# The helper process that writes the settings file beside a test.
add_executable(config_store_writer unit/config_store_writer.cpp)
target_link_libraries(config_store_writer PRIVATE config tarnwell_common shell32)
add_dependencies(config_store_writer runtime_files)

tarnwell_test(config_test LABEL unit
  SOURCES unit/config_support_test.cpp unit/config_store_test.cpp
          unit/config_store_damage_test.cpp
  LIBS config)
add_dependencies(config_test config_store_writer)
