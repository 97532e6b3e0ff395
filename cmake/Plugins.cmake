# tess_add_plugin(NAME VERSION a.b.c.d CORE target)
#
# Builds the plug-in library NAME (NAME.so on Linux, NAME.dll on Windows) from its core library
# and the frame's entry points. The version is the library's one source of its version: the core
# gets it as TESS_VERSION_MAJOR/MINOR/BUILD/REVISION.
function(tess_add_plugin name)
  cmake_parse_arguments(ARG "" "VERSION;CORE" "SOURCES" ${ARGN})
  string(REPLACE "." ";" parts "${ARG_VERSION}")
  list(GET parts 0 major)
  list(GET parts 1 minor)
  list(GET parts 2 build)
  list(GET parts 3 revision)
  target_compile_definitions(${ARG_CORE} PUBLIC
    TESS_VERSION_MAJOR=${major} TESS_VERSION_MINOR=${minor}
    TESS_VERSION_BUILD=${build} TESS_VERSION_REVISION=${revision})

  add_library(${name} MODULE ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/frame/exports.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_CORE})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  if(WIN32)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/frame/exports.def)
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
