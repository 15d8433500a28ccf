# `cpack --config build/CPackConfig.cmake` (scripts/package.sh): a Debian package of the same
# install rules under /usr. Its dependencies are what dpkg-shlibdeps finds the programs and the
# PDF library linked against; the files Debian asks of every package (copyright, a compressed
# changelog, compressed manual pages) are added to the package's tree only, by DebianFiles.cmake.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvalepdf)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "OrvalePDF maintainers <maintainers@users.noreply.c-seed-763db45e.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Links and documents open through xdg-open, mail through xdg-email.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tabbed PDF viewer for TeX users")
# CPack puts the summary first, as Debian's synopsis line, and indents the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "OrvalePDF is the preview window beside a TeX editor: the editor starts it
with a PDF file and a source line, and it shows and marks the typeset place
(forward search through SyncTeX); a double click on a page opens the editor
at the matching source line (inverse search). It reloads a document that
TeX rewrites, keeps one tab per document and answers the command lines
other viewers' editor presets use.")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianFiles.cmake)
set(ORVALE_DEBIAN_DIR ${CMAKE_SOURCE_DIR}/resources/debian)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackDebianFiles.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "set(ORVALE_DEBIAN_DIR \"${ORVALE_DEBIAN_DIR}\")\n")
include(CPack)
