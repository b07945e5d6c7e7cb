# The Windows build: static programs that need no DLL beyond Windows' own, and
# tests that run under Wine in a prefix of this build's own.

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
# Small programs: unused code is dropped, symbols stripped in the shipped build.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections $<$<CONFIG:Release,MinSizeRel>:-s>)
enable_language(RC)
# windres reads our UTF-8 resource files; the compiler's flags are not its own.
set(CMAKE_RC_FLAGS "-c 65001")

# Programs, test programs and tools side by side, as they are shipped.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(OMBREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(OMBREL_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${OMBREL_WINE_RUN} @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
# Every Windows program this build runs (tests, test drivers) goes through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${OMBREL_WINE_RUN})

# A Windows test: runs under Wine after the prefix and the virtual display are
# ready. Extra arguments are passed to the program.
function(ombrel_add_wine_test name target)
  add_test(NAME ${name} COMMAND ${target} ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
endfunction()

# A GUI program that starts in wWinMain.
function(ombrel_add_gui_program target)
  add_executable(${target} WIN32 ${ARGN})
  target_link_options(${target} PRIVATE -municode)
endfunction()
