# The CMake package of the shared libraries: find_package(kvt97) gives the
# imported targets kvt97::kvt, kvt97::kvtc and kvt97::mid2kvt.
include(CMakePackageConfigHelpers)
set(KVT_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kvt97)
install(EXPORT kvt97Targets NAMESPACE kvt97:: DESTINATION ${KVT_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/kvt97Config.cmake.in ${PROJECT_BINARY_DIR}/kvt97Config.cmake
  INSTALL_DESTINATION ${KVT_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kvt97ConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kvt97Config.cmake ${PROJECT_BINARY_DIR}/kvt97ConfigVersion.cmake
  DESTINATION ${KVT_PACKAGE_DIR})
