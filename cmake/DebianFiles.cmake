# Run by CPack on the package's staged tree, before it is packed: Debian's own files, which a
# plain `cmake --install` under another prefix does not want.
file(GLOB_RECURSE staged_man LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1")
if(NOT staged_man)
  message(FATAL_ERROR "No manual pages in the staged tree ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
list(GET staged_man 0 first_page)
get_filename_component(man_dir "${first_page}" DIRECTORY)
get_filename_component(usr_dir "${man_dir}/../../.." ABSOLUTE)
set(doc_dir "${usr_dir}/share/doc/orvalepdf")
file(MAKE_DIRECTORY "${doc_dir}")
file(COPY_FILE "${ORVALE_DEBIAN_DIR}/copyright" "${doc_dir}/copyright")
file(COPY_FILE "${ORVALE_DEBIAN_DIR}/changelog" "${doc_dir}/changelog")
# Debian wants them compressed at the highest level, without a name or time stamp inside.
foreach(file IN LISTS staged_man ITEMS "${doc_dir}/changelog")
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endforeach()
# Documents and the PDF library, which is loaded, not run, are not executable.
file(CHMOD "${doc_dir}/copyright" "${doc_dir}/changelog.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(GLOB staged_lib "${usr_dir}/lib/orvalepdf/libpdfium.so")
file(CHMOD ${staged_lib} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
