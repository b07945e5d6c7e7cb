# The native build: the portable core and its unit tests, with sanitizers, and
# (unless turned off) the Windows build and the fuzzers as sub-builds whose
# tests join this build's ctest run.

option(OMBREL_SANITIZE "Build with AddressSanitizer and UBSan" ON)
if(OMBREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

include(ExternalProject)

# A build of the tree by another compiler, which this one drives: its tests
# join this build's ctest run, so one run covers them all. Extra arguments
# go to its configure step.
function(ombrel_add_sub_build name source_dir binary_dir)
  ExternalProject_Add(${name}
    SOURCE_DIR ${source_dir}
    BINARY_DIR ${binary_dir}
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS ${ARGN}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --parallel 2
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    # On the console pool: one sub-build at a time on the machine's two cores.
    USES_TERMINAL_BUILD ON)
  file(WRITE ${CMAKE_BINARY_DIR}/${name}-tests.cmake
       "if(EXISTS \"${binary_dir}/CTestTestfile.cmake\")\n"
       "  subdirs(\"${binary_dir}\")\n"
       "endif()\n")
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES
               ${CMAKE_BINARY_DIR}/${name}-tests.cmake)
endfunction()

option(OMBREL_WINDOWS "Cross-build the Windows programs and run their tests under Wine" ON)
if(OMBREL_WINDOWS)
  ombrel_add_sub_build(windows ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/win
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    # The programs as they ship, whatever the native build's type: the tests
    # run what users get.
    -DCMAKE_BUILD_TYPE=Release)
endif()

include(cmake/Fuzz.cmake)

# The repository's style as tests: the layout of every C++ file, and
# clang-tidy over the portable code and its unit tests, one test a file so
# that they share the machine's cores with the rest of the run.
find_program(OMBREL_CLANG_FORMAT clang-format)
find_program(OMBREL_CLANG_TIDY clang-tidy)
if(OMBREL_CLANG_FORMAT)
  add_test(NAME style.format COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-style.sh format ${CMAKE_SOURCE_DIR})
else()
  message(WARNING "clang-format not found: the layout is not checked")
endif()
if(OMBREL_CLANG_TIDY)
  file(GLOB OMBREL_TIDY_SOURCES CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/common/list/*.cpp ${CMAKE_SOURCE_DIR}/common/open/*.cpp
       ${CMAKE_SOURCE_DIR}/common/record/*.cpp ${CMAKE_SOURCE_DIR}/common/schedule/*.cpp
       ${CMAKE_SOURCE_DIR}/common/startup/*.cpp ${CMAKE_SOURCE_DIR}/editor/model/*.cpp
       ${CMAKE_SOURCE_DIR}/launcher/failure_notice.cpp ${CMAKE_SOURCE_DIR}/launcher/launcher_run.cpp
       ${CMAKE_SOURCE_DIR}/launcher/session_presence.cpp
       ${CMAKE_SOURCE_DIR}/tests/unit/*/*.cpp)
  foreach(source ${OMBREL_TIDY_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_test(NAME style.tidy.${name}
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-style.sh tidy ${CMAKE_BINARY_DIR} ${source})
    set_tests_properties(style.tidy.${name} PROPERTIES TIMEOUT 600)
  endforeach()
else()
  message(WARNING "clang-tidy not found: the code is not checked")
endif()
