# The `msi` target of a Windows tree: Tessivar-Plugins-VERSION-x86.msi (32-bit tree) or
# Tessivar-Plugins-VERSION-x64.msi (64-bit tree) in the build folder, made with wixl (msitools)
# from windows/Tessivar-Plugins.wxs.in. The package installs the three plug-ins, lcdhost.exe and
# the notes into "Program Files\Tessivar Plugins" for all users and registers the classes from
# its own Registry table, with the keys and values DllRegisterServer writes
# (frame/registration.cpp) and the type library registration of the system adds. The
# kit's type library stand-in is neither installed nor registered.
find_program(TESS_WIXL wixl)
if(NOT TESS_WIXL)
  message(STATUS "wixl not found: no msi target")
  return()
endif()

set(TESS_MSI_FOLDER "Tessivar Plugins")
set(TESS_MSI_MANUFACTURER "Tessivar Plugins")
# Fixed for good: Windows Installer finds an installed version of the same architecture by it.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TESS_MSI_ARCH x64)
  set(TESS_MSI_UPGRADE_CODE "{EE94CA8C-ADFF-4B78-AE4E-EE041068AEE0}")
  set(TESS_MSI_PROGRAM_FILES ProgramFiles64Folder)
  set(TESS_MSI_WIN64 yes)
  set(TESS_MSI_PRODUCT_NAME "Tessivar Plugins (64-bit)")
  set(tess_msi_syskind win64)
else()
  set(TESS_MSI_ARCH x86)
  set(TESS_MSI_UPGRADE_CODE "{BCD164F0-43BF-4492-8D59-2E53781951E0}")
  set(TESS_MSI_PROGRAM_FILES ProgramFilesFolder)
  set(TESS_MSI_WIN64 no)
  set(TESS_MSI_PRODUCT_NAME "Tessivar Plugins (32-bit)")
  set(tess_msi_syskind win32)
endif()
# The system's marshaller that works from a type library.
set(tess_msi_marshaller "{00020424-0000-0000-C000-000000000046}")

# Appends to `out` the RegistryValue elements of one registry value under HKEY_CLASSES_ROOT;
# an empty name is the key's default value.
function(tess_msi_value out key name value)
  set(xml "            <RegistryValue Root=\"HKCR\" Key=\"${key}\"")
  if(NOT name STREQUAL "")
    string(APPEND xml " Name=\"${name}\"")
  endif()
  string(APPEND xml " Type=\"string\" Value=\"${value}\"/>\n")
  set(${out} "${${out}}${xml}" PARENT_SCOPE)
endfunction()

# The component of one plug-in: its library and its registration. The identifiers come from the
# class identity header and the IDL beside the plug-in's sources.
function(tess_msi_component out plugin)
  get_target_property(dir ${plugin} SOURCE_DIR)
  get_target_property(clsid ${plugin} TESS_CLSID)
  get_target_property(progid ${plugin} TESS_PROGID)
  string(TOLOWER ${plugin} lower)
  string(TOUPPER ${plugin} upper)
  tess_read_identity(${dir}/${lower}_class.h)
  if(NOT ${upper}_LIBID OR NOT ${upper}_CLASS_IID)
    message(FATAL_ERROR "${dir}/${lower}_class.h defines no ${upper}_LIBID and ${upper}_CLASS_IID")
  endif()
  set(libid "{${${upper}_LIBID}}")
  set(iid "{${${upper}_CLASS_IID}}")
  # The class name follows the library's name in the ProgID; its class interface is "_" + name.
  string(REGEX REPLACE "^[^.]*\\." "" class_name "${progid}")
  # The library's version, locale and name, from its IDL attributes.
  file(READ ${dir}/${plugin}.idl idl)
  if(NOT idl MATCHES "version\\(([0-9]+\\.[0-9]+)\\),[ \t\r\n]*lcid\\(0x0*([0-9A-Fa-f]+)\\)[ \t\r\n]*\\][ \t\r\n]*library ([A-Za-z0-9_]+)")
    message(FATAL_ERROR "${dir}/${plugin}.idl: no library with version and lcid attributes")
  endif()
  set(version ${CMAKE_MATCH_1})
  string(TOLOWER ${CMAKE_MATCH_2} lcid)
  set(library ${CMAKE_MATCH_3})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${dir}/${plugin}.idl)

  set(path "[#${plugin}.dll]")
  # The library's folder as the type library registration writes it: the package's fixed
  # folder, without the final backslash that [INSTALLDIR] has.
  set(folder "[${TESS_MSI_PROGRAM_FILES}]${TESS_MSI_FOLDER}")
  set(c "CLSID\\${clsid}")
  set(t "TypeLib\\${libid}\\${version}")
  set(i "Interface\\${iid}")
  set(rows)
  tess_msi_value(rows "${c}" "" "${progid}")
  tess_msi_value(rows "${c}\\InprocServer32" "" "${path}")
  tess_msi_value(rows "${c}\\InprocServer32" ThreadingModel Apartment)
  tess_msi_value(rows "${c}\\ProgID" "" "${progid}")
  tess_msi_value(rows "${c}\\VERSION" "" "${version}")
  tess_msi_value(rows "${c}\\TypeLib" "" "${libid}")
  tess_msi_value(rows "${c}\\Programmable" "" "")
  tess_msi_value(rows "${progid}" "" "${progid}")
  tess_msi_value(rows "${progid}\\CLSID" "" "${clsid}")
  # The type library's registration: name, file, flags (it has a disk image) and help folder.
  tess_msi_value(rows "${t}" "" "${library}")
  tess_msi_value(rows "${t}\\${lcid}\\${tess_msi_syskind}" "" "${path}")
  tess_msi_value(rows "${t}\\FLAGS" "" 8)
  tess_msi_value(rows "${t}\\HELPDIR" "" "${folder}")
  # The dual class interface, marshalled through the type library.
  set(interface)
  tess_msi_value(interface "${i}" "" "_${class_name}")
  tess_msi_value(interface "${i}\\ProxyStubClsid" "" "${tess_msi_marshaller}")
  tess_msi_value(interface "${i}\\ProxyStubClsid32" "" "${tess_msi_marshaller}")
  tess_msi_value(interface "${i}\\TypeLib" "" "${libid}")
  tess_msi_value(interface "${i}\\TypeLib" Version "${version}")

  set(xml "          <Component Id=\"${plugin}\" Guid=\"*\" Win64=\"${TESS_MSI_WIN64}\">
            <File Id=\"${plugin}.dll\" Name=\"${plugin}.dll\" Source=\"bin/${plugin}.dll\" KeyPath=\"yes\"/>
${rows}${interface}          </Component>
")
  set(refs "      <ComponentRef Id=\"${plugin}\"/>\n")
  if(TESS_MSI_WIN64)
    # A 64-bit type library's registration writes its automation interfaces into the 32-bit
    # view as well, so that 32-bit clients marshal them too.
    string(APPEND xml "          <Component Id=\"${plugin}.Interface32\" Guid=\"*\" Win64=\"no\">
${interface}          </Component>
")
    string(APPEND refs "      <ComponentRef Id=\"${plugin}.Interface32\"/>\n")
  endif()
  set(${out} "${${out}}${xml}" PARENT_SCOPE)
  set(${out}_REFS "${${out}_REFS}${refs}" PARENT_SCOPE)
endfunction()

get_property(tess_msi_plugins GLOBAL PROPERTY TESS_PLUGINS)
set(TESS_MSI_COMPONENTS)
set(TESS_MSI_COMPONENTS_REFS)
foreach(plugin ${tess_msi_plugins})
  tess_msi_component(TESS_MSI_COMPONENTS ${plugin})
endforeach()
string(REGEX REPLACE "\n$" "" TESS_MSI_COMPONENTS "${TESS_MSI_COMPONENTS}")
string(REGEX REPLACE "\n$" "" TESS_MSI_COMPONENT_REFS "${TESS_MSI_COMPONENTS_REFS}")
set(TESS_MSI_SOURCE ${CMAKE_BINARY_DIR}/Tessivar-Plugins.wxs)
configure_file(${PROJECT_SOURCE_DIR}/windows/Tessivar-Plugins.wxs.in ${TESS_MSI_SOURCE} @ONLY)

set(TESS_MSI_PACKAGE ${CMAKE_BINARY_DIR}/Tessivar-Plugins-${TESS_PACKAGE_VERSION}-${TESS_MSI_ARCH}.msi)
set(tess_msi_files)
foreach(plugin ${tess_msi_plugins})
  list(APPEND tess_msi_files ${CMAKE_BINARY_DIR}/bin/${plugin}.dll)
endforeach()
add_custom_command(
  OUTPUT ${TESS_MSI_PACKAGE}
  COMMAND ${TESS_WIXL} -a ${TESS_MSI_ARCH} -D Version=${TESS_PACKAGE_VERSION} -D Notes=INSTALL.txt
    -o ${TESS_MSI_PACKAGE} ${TESS_MSI_SOURCE}
  DEPENDS ${TESS_MSI_SOURCE} ${tess_msi_files} ${CMAKE_BINARY_DIR}/bin/lcdhost.exe
    ${CMAKE_BINARY_DIR}/INSTALL.txt ${tess_msi_plugins} lcdhost
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Building ${TESS_MSI_PACKAGE} with wixl"
  VERBATIM)
add_custom_target(msi ALL DEPENDS ${TESS_MSI_PACKAGE})
