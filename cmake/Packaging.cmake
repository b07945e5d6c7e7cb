# What a Windows user downloads, made by every build into packages/:
#   Ombrel-<version>.zip        the portable folder: both programs and the help page
#   OmbrelSetup-<version>.exe   the Japanese per-user installer (NSIS, 64-bit)
#   policies/                   the administrative templates (Ombrel.admx, ja-JP and en-US
#                               Ombrel.adml), also in both packages, for an administrator
#                               who takes them alone
#   SHA256SUMS                  of all of them
# Included before the programs are defined, so that what ships carries the
# project's one version and comes out the same, byte for byte, from any clean
# build of one commit (scripts/check-reproducible.sh shows it). Given a
# certificate, the build signs the programs, the uninstaller and the installer
# (cmake/Signing.cmake); given the release's address, it writes winget's
# manifests too (cmake/Winget.cmake).

# No link time in the PE headers, no build folder in what the compiler writes.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>"
                    "$<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")

# The manifests in the source tree are templates: windres, which looks for the
# file a resource names in the include folders in order, finds these copies
# with the project's version first.
set(OMBREL_MANIFEST_DIR ${CMAKE_BINARY_DIR}/generated/manifests)
foreach(manifest launcher/Ombrel.manifest editor/OmbrelSet.manifest)
  get_filename_component(name ${manifest} NAME)
  configure_file(${CMAKE_SOURCE_DIR}/${manifest} ${OMBREL_MANIFEST_DIR}/${name} @ONLY)
endforeach()
include_directories(BEFORE ${OMBREL_MANIFEST_DIR})

# Who publishes Ombrel and how Windows' list of installed apps names it: the
# installer writes them into its uninstall entry, the winget manifests repeat
# them.
set(OMBREL_PUBLISHER "Ombrel 開発チーム")
set(OMBREL_DISPLAY_NAME ${PROJECT_NAME})
set(OMBREL_UNINSTALL_KEY_NAME ${PROJECT_NAME})
# The repository states no address of its own: a release names it.
set(OMBREL_PROJECT_URL "$ENV{OMBREL_PROJECT_URL}" CACHE STRING "The project's home page: the signatures' and winget's link to it")

include(cmake/Signing.cmake)

find_program(OMBREL_MAKENSIS makensis REQUIRED)
find_program(OMBREL_ZIP zip REQUIRED)

set(OMBREL_PACKAGE_DIR ${CMAKE_BINARY_DIR}/packages)
set(OMBREL_PACKAGE_ZIP Ombrel-${OMBREL_VERSION_TEXT}.zip)
set(OMBREL_PACKAGE_SETUP OmbrelSetup-${OMBREL_VERSION_TEXT}.exe)
# What both packages hold, laid out with the ZIP, with fixed times: the
# installer stores each file's time too. Its files are no outputs of their
# own, as their old times would make every build redo both packages.
set(OMBREL_RELEASE_DIR ${CMAKE_BINARY_DIR}/release/Ombrel)
file(MAKE_DIRECTORY ${OMBREL_PACKAGE_DIR})

if(OMBREL_SIGN_COMMAND)
  set(sign_option --sign ${OMBREL_SIGN_COMMAND})
endif()
set(OMBREL_POLICY_FILES policies/Ombrel.admx policies/ja-JP/Ombrel.adml policies/en-US/Ombrel.adml)
list(TRANSFORM OMBREL_POLICY_FILES PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE policy_sources)
add_custom_command(
  OUTPUT ${OMBREL_PACKAGE_DIR}/${OMBREL_PACKAGE_ZIP}
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/release-folder.sh ${sign_option} ${CMAKE_SOURCE_DIR} ${OMBREL_RELEASE_DIR}
          ${OMBREL_PACKAGE_DIR}/${OMBREL_PACKAGE_ZIP}
          $<TARGET_FILE:Ombrel> $<TARGET_FILE:OmbrelSet> ${CMAKE_SOURCE_DIR}/editor/help.htm
          ${CMAKE_SOURCE_DIR}/policies
  DEPENDS Ombrel OmbrelSet ${CMAKE_SOURCE_DIR}/editor/help.htm ${CMAKE_SOURCE_DIR}/scripts/release-folder.sh
          ${policy_sources} ${OMBREL_SIGN_DEPENDS}
  COMMENT "Laying out the release folder and packing ${OMBREL_PACKAGE_ZIP}"
  VERBATIM)

configure_file(${CMAKE_SOURCE_DIR}/cmake/installer.nsi.in ${CMAKE_BINARY_DIR}/installer/installer.nsi @ONLY)
add_custom_command(
  OUTPUT ${OMBREL_PACKAGE_DIR}/${OMBREL_PACKAGE_SETUP}
  COMMAND ${OMBREL_MAKENSIS} -V2 -INPUTCHARSET UTF8 ${CMAKE_BINARY_DIR}/installer/installer.nsi
  DEPENDS ${OMBREL_PACKAGE_DIR}/${OMBREL_PACKAGE_ZIP} ${CMAKE_BINARY_DIR}/installer/installer.nsi
          ${CMAKE_SOURCE_DIR}/common/res/ombrel.ico ${OMBREL_SIGN_DEPENDS}
  COMMENT "Building ${OMBREL_PACKAGE_SETUP} with NSIS"
  VERBATIM)

# The templates beside the packages, as the release folder has them (its
# times and modes), so that the sums name them by the paths an administrator
# finds.
add_custom_command(
  OUTPUT ${OMBREL_PACKAGE_DIR}/SHA256SUMS
  COMMAND rm -rf policies
  COMMAND cp -pR ${OMBREL_RELEASE_DIR}/policies policies
  COMMAND sh -c "sha256sum \"$0\" \"$@\" >SHA256SUMS" ${OMBREL_PACKAGE_ZIP} ${OMBREL_PACKAGE_SETUP}
          ${OMBREL_POLICY_FILES}
  DEPENDS ${OMBREL_PACKAGE_DIR}/${OMBREL_PACKAGE_ZIP} ${OMBREL_PACKAGE_DIR}/${OMBREL_PACKAGE_SETUP}
  WORKING_DIRECTORY ${OMBREL_PACKAGE_DIR}
  VERBATIM)

include(cmake/Winget.cmake)

add_custom_target(ombrel_packages ALL DEPENDS ${OMBREL_PACKAGE_DIR}/SHA256SUMS ${OMBREL_WINGET_MANIFESTS})

add_subdirectory(tests/package)
