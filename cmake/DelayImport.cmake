# tarnwell_delay_system_import(TARGET DLL FUNCTION=ARGBYTES...): an import
# library that loads a system DLL on the first call of one of the named
# functions rather than as the program starts. ARGBYTES is the size of the
# arguments, which the i686 stdcall names carry (GetOpenFileNameW@4).
# Links TARGET (an INTERFACE library made here) to it.
function(tarnwell_delay_system_import target dll)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  set(text "LIBRARY ${dll}\nEXPORTS\n")
  foreach(entry IN LISTS ARGN)
    string(REPLACE "=" ";" parts ${entry})
    list(GET parts 0 fn)
    list(GET parts 1 bytes)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
      string(APPEND text "  ${fn}@${bytes}\n")
    else()
      string(APPEND text "  ${fn}\n")
    endif()
  endforeach()
  file(CONFIGURE OUTPUT ${def} CONTENT "${text}")
  set(extra)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(extra --kill-at)
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a)
  add_custom_command(OUTPUT ${out}
    COMMAND ${TARNWELL_TRIPLE}-dlltool ${extra} --input-def ${def} --dllname ${dll}
            --output-delaylib ${out}
    DEPENDS ${def}
    COMMENT "Delay-loaded import library of ${dll}" VERBATIM)
  add_custom_target(${target}_lib DEPENDS ${out})
  add_library(${target} INTERFACE)
  target_link_libraries(${target} INTERFACE ${out} delayimp)
  add_dependencies(${target} ${target}_lib)
endfunction()
