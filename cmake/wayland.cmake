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

# KDE Plasma: its protocols as plasma-wayland-protocols installs them, and the toolkit's private
# header that reaches a window's Wayland surface. Sets KAVO_HAVE_KDE; required with
# KAVO_WAYLAND=ON.
set(KAVO_HAVE_KDE OFF)
if(KAVO_HAVE_WAYLAND AND KAVO_BUILD_GUI)
  find_package(PlasmaWaylandProtocols QUIET)
  find_package(Qt6 QUIET COMPONENTS GuiPrivate)
  if(PlasmaWaylandProtocols_FOUND AND TARGET Qt6::GuiPrivate)
    set(KAVO_HAVE_KDE ON)
  elseif(KAVO_WAYLAND STREQUAL "ON")
    message(FATAL_ERROR "KDE Plasma: KAVO_WAYLAND=ON but the build needs plasma-wayland-protocols "
      "and qt6-base-private-dev")
  else()
    message(STATUS "KDE Plasma: off (needs plasma-wayland-protocols and qt6-base-private-dev)")
  endif()
endif()

# Client code for protocols, generated into the current build folder's wayland/: each named by
# a file of src/platform/wayland/protocols, or by the path of an installed one; out_var gets the
# generated files, to add as sources.
function(kavo_wayland_protocols out_var)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/wayland)
  file(MAKE_DIRECTORY ${generated})
  set(files)
  foreach(xml ${ARGN})
    if(NOT IS_ABSOLUTE ${xml})
      set(xml ${PROJECT_SOURCE_DIR}/src/platform/wayland/protocols/${xml}.xml)
    endif()
    get_filename_component(protocol ${xml} NAME_WE)
    add_custom_command(
      OUTPUT ${generated}/${protocol}-client.h ${generated}/${protocol}.c
      COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${generated}/${protocol}-client.h
      COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${generated}/${protocol}.c
      DEPENDS ${xml})
    list(APPEND files ${generated}/${protocol}-client.h ${generated}/${protocol}.c)
  endforeach()
  set(${out_var} ${files} PARENT_SCOPE)
endfunction()
