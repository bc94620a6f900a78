# What `cmake --install` puts under the prefix: the component's shared library
# and public headers, the programs, a pkg-config file and a CMake package
# (find_package(RegWizard) -> RegWizard::regwizard).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Installed programs find the library in the prefix's library folder.
file(RELATIVE_PATH regwiz_bin_to_lib "/${CMAKE_INSTALL_BINDIR}" "/${CMAKE_INSTALL_LIBDIR}")
set(regwiz_programs regwizard-run regwizard-regsvr quorvale-host)
foreach(program ${regwiz_programs})
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/${regwiz_bin_to_lib}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Hosts see the headers of include/ only: in the build tree the source folder,
# once installed the prefix's include folder. The static core the library is
# made of stays private to it.
set_target_properties(regwizard PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "$<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>")
target_include_directories(regwizard INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(regwizard PROPERTIES EXPORT_NAME regwizard)

install(TARGETS regwizard EXPORT RegWizardTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/regwizard
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")

set(regwiz_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/RegWizard)
install(EXPORT RegWizardTargets NAMESPACE RegWizard:: DESTINATION ${regwiz_cmake_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/RegWizardConfig.cmake.in
  ${PROJECT_BINARY_DIR}/RegWizardConfig.cmake INSTALL_DESTINATION ${regwiz_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/RegWizardConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/RegWizardConfig.cmake
              ${PROJECT_BINARY_DIR}/RegWizardConfigVersion.cmake
        DESTINATION ${regwiz_cmake_dir})

# The .pc file finds the prefix from its own place, so it holds under any
# `cmake --install --prefix`.
file(RELATIVE_PATH REGWIZ_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" REGWIZ_PC_TO_PREFIX "${REGWIZ_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/regwizard.pc.in ${PROJECT_BINARY_DIR}/regwizard.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/regwizard.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
