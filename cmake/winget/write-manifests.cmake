# Writes the winget manifests of a release, at build time: the templates
# beside this file filled in with the build's values and the SHA-256 of the
# installer, which exists only now. Run by the build (cmake/Winget.cmake):
#   cmake -DVALUES=values.cmake -DINSTALLER=setup.exe -DWINGET_DIR=dir -DVERSION_DIR=dir
#         -DMANIFESTS=template;name;... -P write-manifests.cmake
include(${VALUES})
file(SHA256 ${INSTALLER} OMBREL_INSTALLER_SHA256)
# As winget's own tools write it.
string(TOUPPER ${OMBREL_INSTALLER_SHA256} OMBREL_INSTALLER_SHA256)
# Another version's manifests, left from an earlier build, are no part of this release.
file(REMOVE_RECURSE ${WINGET_DIR}/manifests)
list(LENGTH MANIFESTS count)
math(EXPR last "${count} - 2")
foreach(index RANGE 0 ${last} 2)
  math(EXPR next "${index} + 1")
  list(GET MANIFESTS ${index} template)
  list(GET MANIFESTS ${next} output)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${template} ${VERSION_DIR}/${output} @ONLY)
endforeach()
