# The Debian package of both programs (scripts/package.sh builds it with cpack -G DEB).
set(CPACK_PACKAGE_NAME zarvex)
set(CPACK_PACKAGE_VENDOR "zarvex developers")
set(CPACK_PACKAGE_CONTACT "zarvex developers <maintainers@users.noreply.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multi-level map converter for Polish-format maps")
# One string: lines of at most 80 characters, as Debian's control file wants.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "zarvex reads a rule script and the Polish-format (.mp) maps it names and\n"
  "writes one multi-level map, keeping or dropping each object and giving it a\n"
  "range of zoom levels, a new label, type or kind by rules per object type.\n"
  "visualzarvex is its desktop companion: it lists a map's object types, lets\n"
  "the user set the levels and rules, and generates the header template, the\n"
  "rule script and a batch file that runs zarvex.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Directories the package does not own (/usr, /usr/share, ...) are left out of its file list.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)

# Debian wants a copyright file and a compressed changelog in the package's doc folder.
if(UNIX AND NOT WIN32)
  set(ZARVEX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian-copyright DESTINATION ${ZARVEX_DOC_DIR}
    RENAME copyright)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/debian-changelog.in changelog @ONLY)
  add_custom_command(OUTPUT changelog.gz
    COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/changelog > changelog.gz
    DEPENDS ${PROJECT_BINARY_DIR}/changelog VERBATIM)
  add_custom_target(zarvex_changelog ALL DEPENDS changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${ZARVEX_DOC_DIR})
endif()

include(CPack)
