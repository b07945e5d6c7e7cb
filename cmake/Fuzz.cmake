# The fuzzers of the portable core (tests/fuzz) as a sub-build with clang,
# since libFuzzer comes with clang alone. Its tests run each fuzzer for a few
# seconds and join this build's ctest run; scripts/fuzz.sh runs them longer.

option(OMBREL_FUZZ "Build the fuzzers with clang and run each briefly as a test" ON)
if(OMBREL_FUZZ)
  find_program(OMBREL_CLANGXX clang++)
  if(NOT OMBREL_CLANGXX)
    message(WARNING "clang++ not found: the fuzzers are not built")
  else()
    ombrel_add_sub_build(fuzzers ${CMAKE_SOURCE_DIR}/tests/fuzz ${CMAKE_BINARY_DIR}/fuzz
                         -DCMAKE_CXX_COMPILER=${OMBREL_CLANGXX})
  endif()
endif()
