# The native build: the portable core and its unit tests, with sanitizers, and
# (unless turned off) the Windows build as a sub-build whose tests join this
# build's ctest run.

option(OMBREL_SANITIZE "Build with AddressSanitizer and UBSan" ON)
if(OMBREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

option(OMBREL_WINDOWS "Cross-build the Windows programs and run their tests under Wine" ON)
if(OMBREL_WINDOWS)
  include(ExternalProject)
  set(OMBREL_WINDOWS_BINARY_DIR ${CMAKE_BINARY_DIR}/win)
  ExternalProject_Add(windows
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${OMBREL_WINDOWS_BINARY_DIR}
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
      # The programs as they ship, whatever the native build's type: the
      # tests run what users get.
      -DCMAKE_BUILD_TYPE=Release
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --parallel 2
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  # One ctest run covers both builds.
  file(WRITE ${CMAKE_BINARY_DIR}/windows-tests.cmake
       "if(EXISTS \"${OMBREL_WINDOWS_BINARY_DIR}/CTestTestfile.cmake\")\n"
       "  subdirs(\"${OMBREL_WINDOWS_BINARY_DIR}\")\n"
       "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/windows-tests.cmake)
endif()
