# The Debian package (`make package` in the build folder, or `cpack -G DEB`):
# everything `cmake --install` puts under /usr, with the dependencies
# dpkg-shlibdeps finds in the programs and the library, and by hand the ones
# no linker sees: Qt's platform plugins, the stand-in server's Python and
# FTP server, the wizard's font, and libcurl, which is loaded with dlopen
# when the first transfer starts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME regwizard)
set(CPACK_PACKAGE_VENDOR "quorvale Online")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sign-up wizard of the quorvale Online dial-up service")
set(CPACK_PACKAGE_CONTACT "quorvale Online developers <regwizard@quorvale.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quorvale.example/regwizard")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "RegWizard is the sign-up component of quorvale Online. A host program\n"
  "creates its RegEngine object through COM. The component shows a wizard\n"
  "that signs the member up with the registration server and leaves the\n"
  "account in the registry for the host.\n"
  "\n"
  "The package holds the component's library, headers, pkg-config file and\n"
  "CMake package, the quorvale-host, regwizard-run and regwizard-regsvr\n"
  "programs, a stand-in registration server and a demo application folder.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The library's shlibs entry and dpkg's ldconfig trigger, written here:
# CPack's own ones call ldconfig from maintainer scripts instead.
set(regwiz_shlibs ${PROJECT_BINARY_DIR}/debian/shlibs)
file(WRITE ${regwiz_shlibs}
     "libregwizard ${PROJECT_VERSION_MAJOR} regwizard (>= ${PROJECT_VERSION})\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${regwiz_shlibs} ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, python3, python3-pyftpdlib, fonts-dejavu-core, libcurl4")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The library in the staging folder, for dpkg-shlibdeps to resolve the programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src/host)

set(REGWIZ_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/RegWizardDebianStage.cmake)
# CPack passes its own variables to the script; this one it needs too.
set(CPACK_REGWIZ_DEBIAN_DIR ${REGWIZ_DEBIAN_DIR})
include(CPack)
