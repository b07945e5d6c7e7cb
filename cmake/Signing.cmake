# Authenticode signing of what ships, when the build is given a certificate
# (cmake/Packaging.cmake includes this before it packs anything):
#   -DOMBREL_SIGN_PFX=<file>             the PKCS#12 file: certificate, chain and key
#   -DOMBREL_SIGN_TIMESTAMP_URL=<url>    an RFC 3161 time-stamp server (optional)
#   OMBREL_SIGN_PASSWORD                 the PFX's password, in the environment of the build
# The file and the server are settings of the build, kept in its cache; an
# environment variable of the same name gives the first configure its value,
# so that a maintainer can export all three and run the usual commands. The
# password is never a setting: in the cache it would lie in CMakeCache.txt
# and in the commands of build.ninja for anyone who can read the build.
# Without a certificate nothing below changes what the build makes.
set(OMBREL_SIGN_PFX "$ENV{OMBREL_SIGN_PFX}" CACHE FILEPATH "PKCS#12 file to sign the programs, the uninstaller and the installer with")
set(OMBREL_SIGN_TIMESTAMP_URL "$ENV{OMBREL_SIGN_TIMESTAMP_URL}" CACHE STRING "RFC 3161 time-stamp server for the signatures (optional)")
if(DEFINED OMBREL_SIGN_PASSWORD)
  unset(OMBREL_SIGN_PASSWORD CACHE)
  message(FATAL_ERROR "OMBREL_SIGN_PASSWORD is read from the environment when the build signs, "
                      "never from the cache: export it instead of passing -DOMBREL_SIGN_PASSWORD")
endif()

# The command that signs a file in place; empty when the build does not sign.
set(OMBREL_SIGN_COMMAND "")
# What a signed file's bytes depend on besides the file itself.
set(OMBREL_SIGN_DEPENDS "")
if(NOT OMBREL_SIGN_PFX)
  return()
endif()

# A relative path given with -D is made absolute from the folder cmake ran in.
set(pfx "${OMBREL_SIGN_PFX}")
if(NOT EXISTS "${pfx}" OR IS_DIRECTORY "${pfx}")
  message(FATAL_ERROR "OMBREL_SIGN_PFX: no file ${pfx}")
endif()
if(NOT OMBREL_PROJECT_URL MATCHES "^https?://")
  message(FATAL_ERROR "A signed build names the project's address in its signatures: "
                      "give it as -DOMBREL_PROJECT_URL=https://...")
endif()
find_program(OMBREL_OSSLSIGNCODE osslsigncode REQUIRED)

# One command with the build's settings in it, for release-folder.sh and for
# makensis, which runs a command but passes no arguments of ours to it.
set(OMBREL_SIGN_COMMAND ${CMAKE_BINARY_DIR}/signing/sign)
set(command "exec")
foreach(word "${CMAKE_SOURCE_DIR}/scripts/sign.sh" "${OMBREL_OSSLSIGNCODE}" "${pfx}" "${PROJECT_NAME}"
             "${OMBREL_PROJECT_URL}" "${OMBREL_SIGN_TIMESTAMP_URL}")
  string(REPLACE "'" "'\\''" word "${word}")
  string(APPEND command " '${word}'")
endforeach()
# Rewritten only when it changes, so that a new configure signs nothing again.
file(CONFIGURE OUTPUT ${OMBREL_SIGN_COMMAND} CONTENT "#!/bin/sh\n${command} \"$@\"\n" @ONLY)
file(CHMOD ${OMBREL_SIGN_COMMAND} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE)
set(OMBREL_SIGN_DEPENDS ${OMBREL_SIGN_COMMAND} ${CMAKE_SOURCE_DIR}/scripts/sign.sh ${pfx})
message(STATUS "Signing the programs, the uninstaller and the installer with ${pfx}")
