# winget's manifests of the release (cmake/Packaging.cmake includes this),
# written when the build is told where the release is downloaded from:
#   -DOMBREL_RELEASE_URL=<url>   the folder address the installer lies in
# into build/.../winget/manifests/<letter>/<Publisher>/<Name>/<version>/, the
# community repository's layout, after the installer is built: they carry its
# SHA-256. Only the installer is listed: winget deletes a portable package's
# folder, and the user's list in it, when it upgrades or removes it.
set(OMBREL_RELEASE_URL "$ENV{OMBREL_RELEASE_URL}" CACHE STRING "Folder address of the release's downloads; with it, the build writes winget's manifests")
if(NOT OMBREL_RELEASE_URL)
  return()
endif()
if(NOT OMBREL_RELEASE_URL MATCHES "^https?://[^/]")
  message(FATAL_ERROR "OMBREL_RELEASE_URL: winget downloads over http or https, not from ${OMBREL_RELEASE_URL}")
endif()
if(NOT OMBREL_PROJECT_URL MATCHES "^https?://")
  message(FATAL_ERROR "The winget manifests name the project's home page: give it as -DOMBREL_PROJECT_URL=https://...")
endif()

# Publisher.Name, each part one folder of the layout.
set(OMBREL_WINGET_ID Ombrel.Ombrel)
set(OMBREL_LICENSE "Proprietary" CACHE STRING "The license the winget manifests name")
string(REGEX REPLACE "/+$" "" folder_url "${OMBREL_RELEASE_URL}")
set(OMBREL_INSTALLER_URL "${folder_url}/${OMBREL_PACKAGE_SETUP}")
string(SUBSTRING ${OMBREL_WINGET_ID} 0 1 letter)
string(TOLOWER ${letter} letter)
string(REPLACE "." "/" id_path ${OMBREL_WINGET_ID})
set(OMBREL_WINGET_DIR ${CMAKE_BINARY_DIR}/winget)
set(version_dir ${OMBREL_WINGET_DIR}/manifests/${letter}/${id_path}/${OMBREL_VERSION_TEXT})

# What the templates take from this build; the SHA-256 is added when the
# installer exists (cmake/winget/write-manifests.cmake).
set(values "")
foreach(name OMBREL_WINGET_ID OMBREL_VERSION_TEXT OMBREL_INSTALLER_URL OMBREL_PUBLISHER OMBREL_DISPLAY_NAME
             OMBREL_UNINSTALL_KEY_NAME OMBREL_PROJECT_URL OMBREL_LICENSE)
  string(APPEND values "set(${name} [==[${${name}}]==])\n")
endforeach()
file(CONFIGURE OUTPUT ${OMBREL_WINGET_DIR}/values.cmake CONTENT "${values}")

# Template in cmake/winget/, and the manifest's file name.
set(manifests version.yaml.in ${OMBREL_WINGET_ID}.yaml installer.yaml.in ${OMBREL_WINGET_ID}.installer.yaml
              locale.ja-JP.yaml.in ${OMBREL_WINGET_ID}.locale.ja-JP.yaml
              locale.en-US.yaml.in ${OMBREL_WINGET_ID}.locale.en-US.yaml)
set(templates "")
set(outputs "")
foreach(index RANGE 0 7 2)
  math(EXPR next "${index} + 1")
  list(GET manifests ${index} template)
  list(GET manifests ${next} output)
  list(APPEND templates ${CMAKE_SOURCE_DIR}/cmake/winget/${template})
  list(APPEND outputs ${version_dir}/${output})
endforeach()
add_custom_command(
  OUTPUT ${outputs}
  COMMAND ${CMAKE_COMMAND} -DVALUES=${OMBREL_WINGET_DIR}/values.cmake
          -DINSTALLER=${OMBREL_PACKAGE_DIR}/${OMBREL_PACKAGE_SETUP} -DWINGET_DIR=${OMBREL_WINGET_DIR}
          "-DMANIFESTS=${manifests}" -DVERSION_DIR=${version_dir}
          -P ${CMAKE_SOURCE_DIR}/cmake/winget/write-manifests.cmake
  DEPENDS ${OMBREL_PACKAGE_DIR}/${OMBREL_PACKAGE_SETUP} ${OMBREL_WINGET_DIR}/values.cmake ${templates}
          ${CMAKE_SOURCE_DIR}/cmake/winget/write-manifests.cmake
  COMMENT "Writing the winget manifests of ${OMBREL_PACKAGE_SETUP}"
  VERBATIM)
set(OMBREL_WINGET_MANIFESTS ${outputs})
message(STATUS "winget manifests for ${OMBREL_INSTALLER_URL} into ${version_dir}")
