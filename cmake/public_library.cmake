# A shared library that other programs build against: its public headers
# and the export macro are installed with it, consumers see only those
# folders (never the core's internal ones), and it takes part in the
# kvt97 CMake package and has a pkg-config file of its own.
function(kvt_public_library name)
  cmake_parse_arguments(ARG "" "DESCRIPTION" "HEADER_DIRS" ${ARGN})
  set(header_dirs ${ARG_HEADER_DIRS} ${PROJECT_SOURCE_DIR}/common/include)
  foreach(dir IN LISTS header_dirs)
    cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${dir}>)
    install(DIRECTORY ${dir}/kvt DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")
  endforeach()
  target_include_directories(${name} PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_definitions(${name} PRIVATE KVT_BUILDING_SHARED)
  set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  install(TARGETS ${name} EXPORT kvt97Targets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

  # The paths are relative to the .pc file itself, so the tree works
  # wherever `cmake --install --prefix` puts it.
  cmake_path(RELATIVE_PATH CMAKE_INSTALL_PREFIX BASE_DIRECTORY ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
    OUTPUT_VARIABLE KVT_PC_PREFIX)
  cmake_path(RELATIVE_PATH CMAKE_INSTALL_FULL_LIBDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
    OUTPUT_VARIABLE KVT_PC_LIBDIR)
  cmake_path(RELATIVE_PATH CMAKE_INSTALL_FULL_INCLUDEDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
    OUTPUT_VARIABLE KVT_PC_INCLUDEDIR)
  set(KVT_PC_NAME ${name})
  set(KVT_PC_DESCRIPTION ${ARG_DESCRIPTION})
  set(pc_file ${PROJECT_BINARY_DIR}/pkgconfig/${name}.pc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/library.pc.in ${pc_file} @ONLY)
  install(FILES ${pc_file} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
