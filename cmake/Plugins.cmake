# tess_add_plugin(NAME VERSION a.b.c.d CORE target IDENTITY header [COMPANY text] SOURCES ...)
#
# Builds the plug-in library NAME (NAME.so on Linux, NAME.dll on Windows) from its core library
# and the frame's entry points. The version is the library's one source of its version: the core
# gets it as TESS_VERSION_MAJOR/MINOR/BUILD/REVISION, and on Windows the version resource is made
# from it. On Windows the type library compiled from ${CMAKE_CURRENT_SOURCE_DIR}/NAME.idl is
# embedded as resource TYPELIB 1; COMPANY, when given, becomes the resource's "CompanyName".
# IDENTITY is the class identity header that the IDL and the code share; its CLSID and ProgID
# become the target's properties TESS_CLSID ("{...}") and TESS_PROGID for the tests.
# Every plug-in is listed in the global property TESS_PLUGINS.

# Reads the `#define NAME "text"` lines of a class identity header into CMake variables NAME.
function(tess_read_identity header)
  file(STRINGS ${header} lines REGEX "^#define [A-Z0-9_]+ \"[^\"]*\"$")
  foreach(line ${lines})
    if(line MATCHES "^#define ([A-Z0-9_]+) \"([^\"]*)\"$")
      set(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}" PARENT_SCOPE)
    endif()
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
endfunction()

# Compiles an IDL file into a type library with widl (Windows builds only): 32-bit or 64-bit
# after the target. Imported IDL files are looked up in TESS_IDL_DIRS, imported type libraries
# in TESS_TYPELIB_DIRS.
function(tess_compile_typelib idl output)
  cmake_parse_arguments(ARG "" "" "DEFINES;DEPENDS" ${ARGN})
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(kind --win64)
  else()
    set(kind --win32)
  endif()
  set(search)
  foreach(define ${ARG_DEFINES})
    list(APPEND search -D${define})
  endforeach()
  foreach(dir ${TESS_IDL_DIRS})
    list(APPEND search -I ${dir})
  endforeach()
  foreach(dir ${TESS_TYPELIB_DIRS})
    list(APPEND search -L ${dir})
  endforeach()
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${TESS_WIDL} ${kind} --nostdinc -t ${search} -o ${output} ${idl}
    DEPENDS ${idl} ${ARG_DEPENDS}
    COMMENT "Compiling type library ${output}"
    VERBATIM)
endfunction()

function(tess_add_plugin name)
  cmake_parse_arguments(ARG "" "VERSION;CORE;COMPANY;IDENTITY" "SOURCES" ${ARGN})
  if(NOT ARG_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "tess_add_plugin(${name}): VERSION must be a.b.c.d")
  endif()
  set(major ${CMAKE_MATCH_1})
  set(minor ${CMAKE_MATCH_2})
  set(build ${CMAKE_MATCH_3})
  set(revision ${CMAKE_MATCH_4})
  target_compile_definitions(${ARG_CORE} PUBLIC
    TESS_VERSION_MAJOR=${major} TESS_VERSION_MINOR=${minor}
    TESS_VERSION_BUILD=${build} TESS_VERSION_REVISION=${revision})

  add_library(${name} MODULE ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/frame/exports.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_CORE})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  set(identity ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_IDENTITY})
  tess_read_identity(${identity})
  string(TOUPPER ${name} upper)
  if(NOT ${upper}_CLSID OR NOT ${upper}_PROGID)
    message(FATAL_ERROR "tess_add_plugin(${name}): ${identity} defines no ${upper}_CLSID and ${upper}_PROGID")
  endif()
  set_target_properties(${name} PROPERTIES
    TESS_CLSID "{${${upper}_CLSID}}" TESS_PROGID "${${upper}_PROGID}")
  if(WIN32)
    # The type library, then the resource script that embeds it with the version data.
    set(idl ${CMAKE_CURRENT_SOURCE_DIR}/${name}.idl)
    if(NOT EXISTS ${idl})
      message(FATAL_ERROR "tess_add_plugin(${name}): ${idl} is missing")
    endif()
    set(tlb ${CMAKE_CURRENT_BINARY_DIR}/${name}.tlb)
    tess_compile_typelib(${idl} ${tlb}
      DEFINES TESS_KIT_IMPORTED
      DEPENDS ${TESS_KIT_TYPELIB} tess_kit_typelib ${identity}
        ${PROJECT_SOURCE_DIR}/frame/idl/tess_methods.h ${PROJECT_SOURCE_DIR}/frame/idl/tessivar2_kit.h)

    # Version text: major, minor in two digits, revision in four ("1.01.0084").
    string(LENGTH "${minor}" n)
    set(minor_text ${minor})
    if(n LESS 2)
      set(minor_text "0${minor}")
    endif()
    set(revision_text ${revision})
    string(LENGTH "${revision}" n)
    while(n LESS 4)
      set(revision_text "0${revision_text}")
      math(EXPR n "${n} + 1")
    endwhile()
    set(TESS_RC_NAME ${name})
    set(TESS_RC_TYPELIB ${tlb})
    set(TESS_RC_VERSION_COMMAS "${major},${minor},${build},${revision}")
    set(TESS_RC_VERSION_TEXT "${major}.${minor_text}.${revision_text}")
    set(TESS_RC_COMPANY "")
    if(DEFINED ARG_COMPANY)
      set(TESS_RC_COMPANY "            VALUE \"CompanyName\", \"${ARG_COMPANY}\"\n")
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/platform/windows/plugin.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${tlb})
    target_sources(${name} PRIVATE ${rc} ${PROJECT_SOURCE_DIR}/frame/exports.def)
    set_target_properties(${name} PROPERTIES
      TESS_TYPELIB ${tlb} TESS_VERSION_TEXT ${TESS_RC_VERSION_TEXT})
    target_link_options(${name} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
  else()
    set_target_properties(${name} PROPERTIES SUFFIX ".so")
    target_link_options(${name} PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/frame/exports.map -Wl,--exclude-libs,ALL
      -Wl,--no-undefined)
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/frame/exports.map)
  endif()
  set_property(GLOBAL APPEND PROPERTY TESS_PLUGINS ${name})
endfunction()
