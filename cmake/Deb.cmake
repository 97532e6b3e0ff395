# The Linux package: `package` writes tessivar-plugins_VERSION_ARCH.deb in the build folder with
# CPack's DEB generator, ARCH being the machine's own architecture in the native trees (amd64 on
# a PC) and arm64 or armhf in the ARM cross trees (cmake/arm64.cmake, cmake/armhf.cmake). It
# holds /usr/bin/lcdhost, the plug-ins in /usr/lib/<multiarch>/tessivar (where lcdhost finds them
# by name, host/plugins/library_search.cpp), lcdhost(1), the configuration file
# /etc/tessivar/lcdhost.toml (a conffile) and lcdhost.service, which runs the file's screens on
# LCDd and is not enabled by the package. The Windows trees have their own packages (Dist.cmake,
# Msi.cmake).
if(WIN32 OR TESS_FUZZ)
  return()
endif()

# The package installs into /usr (CPACK_PACKAGING_INSTALL_PREFIX); `cmake --install` into
# CMAKE_INSTALL_PREFIX. The plug-ins go to lib/<multiarch>/tessivar whatever the prefix, where
# lcdhost looks for them, and the configuration file to /etc/tessivar, where lcdhost reads it.
include(GNUInstallDirs)
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(tess_deb_plugin_dir lib/${CMAKE_LIBRARY_ARCHITECTURE}/tessivar)
else()
  set(tess_deb_plugin_dir ${CMAKE_INSTALL_LIBDIR}/tessivar)
endif()

set(TESS_DEB_MAINTAINER "Tessivar Plugins maintainers <maintainers@tessivar.example>" CACHE STRING
  "Maintainer field of the Debian package and of its changelog")
set(tess_deb_dir ${PROJECT_SOURCE_DIR}/packaging/debian)
set(tess_deb_out ${CMAKE_BINARY_DIR}/packaging)
set(tess_deb_doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/tessivar-plugins)

get_property(tess_deb_plugins GLOBAL PROPERTY TESS_PLUGINS)
install(TARGETS lcdhost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ${tess_deb_plugins} LIBRARY DESTINATION ${tess_deb_plugin_dir})
install(FILES ${tess_deb_dir}/lcdhost.toml DESTINATION /etc/tessivar)
install(FILES ${tess_deb_dir}/lcdhost.service DESTINATION lib/systemd/system)

# Debian's documents: lcdhost(1), the machine-readable copyright and the changelog, compressed
# without a time stamp so that the package is the same from one build to the next.
configure_file(${tess_deb_dir}/lcdhost.1.in ${tess_deb_out}/lcdhost.1 @ONLY)
configure_file(${tess_deb_dir}/changelog.in ${tess_deb_out}/changelog.Debian @ONLY)
set(tess_deb_gz)
foreach(file lcdhost.1 changelog.Debian)
  add_custom_command(OUTPUT ${tess_deb_out}/${file}.gz
    COMMAND gzip -n -9 -f -k ${file}
    DEPENDS ${tess_deb_out}/${file}
    WORKING_DIRECTORY ${tess_deb_out}
    VERBATIM)
  list(APPEND tess_deb_gz ${tess_deb_out}/${file}.gz)
endforeach()
add_custom_target(tess_deb_docs ALL DEPENDS ${tess_deb_gz})
install(FILES ${tess_deb_out}/lcdhost.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${tess_deb_dir}/copyright ${tess_deb_out}/changelog.Debian.gz DESTINATION ${tess_deb_doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessivar-plugins)
set(CPACK_PACKAGE_VERSION ${TESS_PACKAGE_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "processor, date and uptime plug-ins for LCD panels, with lcdhost")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Three data-provider plug-ins for the Tessivar LCD host: Orvantel (processor
and firmware facts), Tamblorin (the local date in many forms) and Wendrikai
(the time since the system started). lcdhost loads them, lists and reads
their items, and shows screens of them in a terminal or on an LCDd server.
.
The lcdhost service shows the screens of /etc/tessivar/lcdhost.toml on the
LCDd server of this machine; enable it with
systemctl enable --now lcdhost.service.")
if(CMAKE_CROSSCOMPILING)
  # A cross tree's package: its architecture, and its library dependencies computed by
  # dpkg-shlibdeps (which CPack runs) for that architecture, from the symbols files of its
  # libraries installed through multiarch (scripts/install-deps). cpack reads this file before
  # it makes the package.
  set(tess_deb_arch ${TESS_DEB_ARCHITECTURE})
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${tess_deb_arch})
  set(CPACK_PROJECT_CONFIG_FILE ${tess_deb_out}/cross.cmake)
  file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "set(ENV{DEB_HOST_ARCH} ${tess_deb_arch})\n")
else()
  # The machine's own architecture as dpkg names it: amd64 on a PC, arm64 or armhf on an ARM
  # board.
  execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE tess_deb_arch
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT tess_deb_arch)
    set(tess_deb_arch amd64)
  endif()
endif()
set(CPACK_DEBIAN_FILE_NAME tessivar-plugins_${TESS_PACKAGE_VERSION}_${tess_deb_arch}.deb)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESS_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS lcdproc)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${tess_deb_dir}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
