# A version resource for a shipped module:
#   tarnwell_version_resource(target "File description" "original-name.ext")
# The version is the project's (the about box says the same).
set(TARNWELL_VERSION_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/version.rc.in)
function(tarnwell_version_resource target description original)
  set(VERSION_DESCRIPTION "${description}")
  set(VERSION_ORIGINAL "${original}")
  string(REPLACE "." "," VERSION_COMMAS "${PROJECT_VERSION}.0")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${TARNWELL_VERSION_TEMPLATE} ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
