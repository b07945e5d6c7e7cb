# The fuzzers of the portable core (tests/fuzz) as a sub-build with clang,
# since libFuzzer comes with clang alone. Its tests run each fuzzer for a few
# seconds and join this build's ctest run; scripts/fuzz.sh runs them longer.

option(OMBREL_FUZZ "Build the fuzzers with clang and run each briefly as a test" ON)
if(OMBREL_FUZZ)
  find_program(OMBREL_CLANGXX clang++)
  if(NOT OMBREL_CLANGXX)
    message(WARNING "clang++ not found: the fuzzers are not built")
  else()
    include(ExternalProject)
    set(OMBREL_FUZZ_BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz)
    ExternalProject_Add(fuzzers
      SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz
      BINARY_DIR ${OMBREL_FUZZ_BINARY_DIR}
      CMAKE_GENERATOR Ninja
      CMAKE_ARGS -DCMAKE_CXX_COMPILER=${OMBREL_CLANGXX}
      BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --parallel 2
      BUILD_ALWAYS ON
      INSTALL_COMMAND ""
      # On the console pool, as the Windows sub-build: one sub-build at a time.
      USES_TERMINAL_BUILD ON)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz-tests.cmake
         "if(EXISTS \"${OMBREL_FUZZ_BINARY_DIR}/CTestTestfile.cmake\")\n"
         "  subdirs(\"${OMBREL_FUZZ_BINARY_DIR}\")\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/fuzz-tests.cmake)
  endif()
endif()
