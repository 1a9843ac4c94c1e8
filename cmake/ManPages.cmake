# Installs a man page compressed, as Debian wants; -n keeps the bytes equal from build to build.
# A Windows build has no man pages: its zip holds the converter's page as text.
function(zarvex_install_man_page page section)
  if(WIN32)
    return()
  endif()
  add_custom_command(OUTPUT ${page}.gz
    COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/${page} > ${page}.gz
    DEPENDS ${page} VERBATIM)
  add_custom_target(${page}_gz ALL DEPENDS ${page}.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
