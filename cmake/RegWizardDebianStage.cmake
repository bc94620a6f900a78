# Run by CPack once the files are installed in its staging folder, before the
# Debian package is made of them: the copyright and the compressed changelog
# every Debian package carries, and no run-time search path in the programs
# (in /usr the library is in the system's own folder).
set(stage ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${stage}/share/doc/${CPACK_PACKAGE_NAME})
file(MAKE_DIRECTORY ${doc})
file(COPY ${CPACK_REGWIZ_DEBIAN_DIR}/copyright DESTINATION ${doc})
file(COPY ${CPACK_REGWIZ_DEBIAN_DIR}/changelog DESTINATION ${doc})
file(RENAME ${doc}/changelog ${doc}/changelog.Debian)
execute_process(COMMAND gzip -9nf ${doc}/changelog.Debian COMMAND_ERROR_IS_FATAL ANY)
file(CHMOD ${doc}/copyright ${doc}/changelog.Debian.gz
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(GLOB programs ${stage}/bin/*)
foreach(program ${programs})
  file(RPATH_REMOVE FILE ${program})
endforeach()
