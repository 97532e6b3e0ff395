# The packages of the Windows trees. Each tree has the installation notes and the `msi` target
# (cmake/Msi.cmake). The 64-bit tree also has the `dist` target: a ZIP with the three plug-ins
# and lcdhost.exe of this tree (x64\) and of the 32-bit tree beside it (x86\), and the notes.
# Build the mingw-i686 preset first (scripts/dist builds both).

# The notes name a class identifier as an example.
tess_read_identity(${PROJECT_SOURCE_DIR}/date/tamblorin_class.h)
configure_file(${PROJECT_SOURCE_DIR}/windows/INSTALL.txt.in ${CMAKE_BINARY_DIR}/INSTALL.txt @ONLY)
include(${CMAKE_CURRENT_LIST_DIR}/Msi.cmake)
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()
endif()

set(TESS_I686_BIN ${CMAKE_BINARY_DIR}/../mingw-i686/bin CACHE PATH
  "bin folder of the 32-bit Windows build, for the distribution archive")
get_property(tess_dist_plugins GLOBAL PROPERTY TESS_PLUGINS)

install(TARGETS ${tess_dist_plugins} LIBRARY DESTINATION x64 COMPONENT dist)
install(TARGETS lcdhost RUNTIME DESTINATION x64 COMPONENT dist)
set(tess_i686_files)
foreach(plugin ${tess_dist_plugins})
  list(APPEND tess_i686_files ${TESS_I686_BIN}/${plugin}.dll)
endforeach()
install(FILES ${tess_i686_files} ${TESS_I686_BIN}/lcdhost.exe DESTINATION x86 COMPONENT dist)
install(FILES ${CMAKE_BINARY_DIR}/INSTALL.txt DESTINATION . COMPONENT dist)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tessivar-plugins)
set(CPACK_PACKAGE_VERSION 1.0)
set(CPACK_SYSTEM_NAME windows)
set(CPACK_COMPONENTS_ALL dist)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/dist)
include(CPack)

add_custom_target(dist
  COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Packing the Windows plug-ins into dist/"
  VERBATIM)
add_dependencies(dist ${tess_dist_plugins} lcdhost)
