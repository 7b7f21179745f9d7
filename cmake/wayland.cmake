# Wayland (wlroots compositors): KAVO_WAYLAND is AUTO (built where the client library,
# xkbcommon and the protocol scanner are installed), ON (required: a missing piece stops the
# configuration, so a test build cannot drop the Wayland parts unseen) or OFF. Never in the fuzz
# build, which tests the parsers alone. Sets KAVO_HAVE_WAYLAND.
set(KAVO_WAYLAND AUTO CACHE STRING "Build the Wayland backend: AUTO, ON or OFF")
set_property(CACHE KAVO_WAYLAND PROPERTY STRINGS AUTO ON OFF)
set(KAVO_HAVE_WAYLAND OFF)
if(NOT WIN32 AND NOT KAVO_FUZZ AND NOT KAVO_WAYLAND STREQUAL "OFF")
  find_package(PkgConfig)
  find_program(WAYLAND_SCANNER wayland-scanner)
  if(PkgConfig_FOUND AND WAYLAND_SCANNER)
    pkg_check_modules(WAYLAND_CLIENT IMPORTED_TARGET wayland-client)
    pkg_check_modules(XKBCOMMON IMPORTED_TARGET xkbcommon)
    if(WAYLAND_CLIENT_FOUND AND XKBCOMMON_FOUND)
      set(KAVO_HAVE_WAYLAND ON)
    endif()
  endif()
  if(NOT KAVO_HAVE_WAYLAND)
    set(needs "needs wayland-client, xkbcommon and wayland-scanner")
    if(KAVO_WAYLAND STREQUAL "ON")
      message(FATAL_ERROR "Wayland: KAVO_WAYLAND=ON but the build ${needs}")
    endif()
    message(STATUS "Wayland: off (${needs})")
  endif()
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
