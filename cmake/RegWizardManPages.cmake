# The manual pages of the programs, written in Markdown (docs/man/NAME.1.md)
# and turned into compressed man pages by pandoc; installed into
# share/man/man1. Without pandoc the build goes on without them.
find_program(REGWIZ_PANDOC pandoc)
find_program(REGWIZ_GZIP gzip)
set(regwiz_man_sources quorvale-host regwizard-run regwizard-regsvr)
if(NOT REGWIZ_PANDOC OR NOT REGWIZ_GZIP)
  message(WARNING "pandoc or gzip not found: the manual pages are not built")
  return()
endif()

set(regwiz_man_dir ${PROJECT_BINARY_DIR}/man)
set(regwiz_man_pages)
foreach(page ${regwiz_man_sources})
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.1.md)
  set(output ${regwiz_man_dir}/${page}.1.gz)
  # gzip -n: no name or time stamp, so the same page gives the same bytes.
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${regwiz_man_dir}
    COMMAND ${REGWIZ_PANDOC} --standalone --from markdown-smart --to man
            --output ${regwiz_man_dir}/${page}.1 ${source}
    COMMAND ${REGWIZ_GZIP} -9nf ${regwiz_man_dir}/${page}.1
    DEPENDS ${source} VERBATIM)
  list(APPEND regwiz_man_pages ${output})
endforeach()
add_custom_target(regwiz_man_pages ALL DEPENDS ${regwiz_man_pages})
install(FILES ${regwiz_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
