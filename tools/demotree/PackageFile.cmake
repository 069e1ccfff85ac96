# Which package OrnivaleSetup.exe carries. Included by tools/demotree/CMakeLists.txt and by the folder
# that embeds the package, in whichever order they are configured:
#   include(${CMAKE_SOURCE_DIR}/tools/demotree/PackageFile.cmake)
# ORNIVALE_PACKAGE (cache, FILEPATH): a .pck to carry instead of the default package.
# OV_PACKAGE_FILE (cache, INTERNAL; also the global property OV_PACKAGE_FILE): ORNIVALE_PACKAGE when
# set, else the default package that target ov_default_package builds. Depend on target
# ov_package_file, which has the package ready either way.
set(ORNIVALE_PACKAGE "" CACHE FILEPATH
    "A package (.pck) for OrnivaleSetup.exe to carry instead of the default package")
if(ORNIVALE_PACKAGE)
  get_filename_component(packageFile "${ORNIVALE_PACKAGE}" ABSOLUTE BASE_DIR "${CMAKE_BINARY_DIR}")
  if(NOT EXISTS "${packageFile}" OR IS_DIRECTORY "${packageFile}")
    message(FATAL_ERROR "ORNIVALE_PACKAGE: ${ORNIVALE_PACKAGE} is not a file")
  endif()
else()
  set(packageFile ${CMAKE_BINARY_DIR}/package/ornivale.pck)
endif()
set(OV_PACKAGE_FILE ${packageFile} CACHE INTERNAL "The package OrnivaleSetup.exe carries")
set_property(GLOBAL PROPERTY OV_PACKAGE_FILE ${packageFile})
unset(packageFile)
