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

# The library's name carries its interface's version (libregwizard.so.4),
# as the dynamic linker and the package's dependencies know it.
set_target_properties(regwizard PROPERTIES VERSION ${PROJECT_VERSION}
                                           SOVERSION ${PROJECT_VERSION_MAJOR})

# What trying the wizard on one machine needs besides the programs: the
# stand-in registration server with its access-number list, the demo
# application folder and help document, the demo's scenario.
set(regwiz_data_dir ${CMAKE_INSTALL_DATADIR}/regwizard)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/regserver.py DESTINATION ${regwiz_data_dir}/regserver)
install(FILES ${PROJECT_SOURCE_DIR}/tools/regserver/phone_list.csv
        DESTINATION ${regwiz_data_dir}/regserver)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/apps/demo/ DESTINATION ${regwiz_data_dir}/demo)

# The host on the desktop's menu.
if(TARGET quorvale-host)
  install(FILES ${PROJECT_SOURCE_DIR}/apps/quorvale-host/desktop/quorvale-host.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/apps/quorvale-host/desktop/quorvale-host.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/RegWizardManPages.cmake)
