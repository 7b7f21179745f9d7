# Wayland (wlroots compositors): built only where the client library, xkbcommon and the
# protocol scanner are installed; never in the fuzz build, which tests the parsers alone. Sets
# KAVO_WAYLAND.
set(KAVO_WAYLAND OFF)
if(NOT WIN32 AND NOT KAVO_FUZZ)
  find_package(PkgConfig)
  find_program(WAYLAND_SCANNER wayland-scanner)
  if(PkgConfig_FOUND AND WAYLAND_SCANNER)
    pkg_check_modules(WAYLAND_CLIENT IMPORTED_TARGET wayland-client)
    pkg_check_modules(XKBCOMMON IMPORTED_TARGET xkbcommon)
    if(WAYLAND_CLIENT_FOUND AND XKBCOMMON_FOUND)
      set(KAVO_WAYLAND ON)
    endif()
  endif()
endif()
if(NOT KAVO_WAYLAND AND NOT WIN32 AND NOT KAVO_FUZZ)
  message(STATUS "Wayland: off (needs wayland-client, xkbcommon and wayland-scanner)")
endif()

# Client code for the protocols kept in src/platform/wayland/protocols, generated into the
# current build folder's wayland/; out_var gets the generated files, to add as sources.
function(kavo_wayland_protocols out_var)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/wayland)
  file(MAKE_DIRECTORY ${generated})
  set(files)
  foreach(protocol ${ARGN})
    set(xml ${PROJECT_SOURCE_DIR}/src/platform/wayland/protocols/${protocol}.xml)
    add_custom_command(
      OUTPUT ${generated}/${protocol}-client.h ${generated}/${protocol}.c
      COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${generated}/${protocol}-client.h
      COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${generated}/${protocol}.c
      DEPENDS ${xml})
    list(APPEND files ${generated}/${protocol}-client.h ${generated}/${protocol}.c)
  endforeach()
  set(${out_var} ${files} PARENT_SCOPE)
endfunction()
