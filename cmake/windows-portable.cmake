# The portable folder of the Windows bar: kavo.exe with what it loads beside it (Qt's Core, Gui
# and Widgets, the windows platform and style plugins, the C++ runtime), stripped. The zip and
# the installer are made of it; the Wine tests run it. Qt's deployment tool is not built by a
# cross build, so the list is the program's own.
set(portable ${CMAKE_BINARY_DIR}/portable/Kavo)
set(runtime)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "The C++ runtime's ${dll} was not found (${path})")
  endif()
  list(APPEND runtime "${path}")
endforeach()
find_program(KAVO_MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)

add_custom_target(kavo_portable ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${portable}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${portable}/platforms ${portable}/styles
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kavo> $<TARGET_FILE:Qt6::Core>
          $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> ${runtime} ${portable}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
          ${portable}/platforms
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> ${portable}/styles
  COMMAND sh -c "'${KAVO_MINGW_STRIP}' --strip-unneeded '${portable}'/*.dll '${portable}'/*.exe '${portable}'/*/*.dll"
  DEPENDS kavo
  VERBATIM)
