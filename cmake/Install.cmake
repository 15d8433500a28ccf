# `cmake --install build --prefix P`: the program's folder P/lib/orvalepdf (the viewer, the PDF
# library, the SyncTeX tool and Resources/ side by side, as in the build), links to the two
# programs in P/bin, and the desktop's files: the desktop entry, the icon, the manual pages.
# The programs find their library and Resources/ beside their resolved executable, so the links
# work from any folder.
set(ORVALE_INSTALL_DIR lib/orvalepdf)

install(TARGETS OrvalePDF orvalepdf-synctex RUNTIME DESTINATION ${ORVALE_INSTALL_DIR})
install(TARGETS pdfium LIBRARY DESTINATION ${ORVALE_INSTALL_DIR})
install(DIRECTORY ${ORVALE_BIN_DIR}/Resources DESTINATION ${ORVALE_INSTALL_DIR})

# Relative links, made at build time, installed as links.
set(ORVALE_LINK_DIR ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${ORVALE_LINK_DIR})
file(CREATE_LINK ../${ORVALE_INSTALL_DIR}/OrvalePDF ${ORVALE_LINK_DIR}/orvalepdf SYMBOLIC)
file(CREATE_LINK ../${ORVALE_INSTALL_DIR}/orvalepdf-synctex ${ORVALE_LINK_DIR}/orvalepdf-synctex SYMBOLIC)
install(FILES ${ORVALE_LINK_DIR}/orvalepdf ${ORVALE_LINK_DIR}/orvalepdf-synctex DESTINATION bin)

install(FILES resources/desktop/orvalepdf.desktop DESTINATION share/applications)
install(FILES resources/desktop/orvalepdf.svg DESTINATION share/icons/hicolor/scalable/apps)
set(ORVALE_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
add_custom_command(OUTPUT ${ORVALE_ICON_DIR}/256x256/apps/orvalepdf.png
  COMMAND orvale-make-images --icons ${ORVALE_ICON_DIR}
  DEPENDS orvale-make-images
  COMMENT "Drawing the program's icon")
add_custom_target(orvale_icons ALL DEPENDS ${ORVALE_ICON_DIR}/256x256/apps/orvalepdf.png)
install(DIRECTORY ${ORVALE_ICON_DIR}/ DESTINATION share/icons/hicolor)
install(FILES resources/man/orvalepdf.1 resources/man/orvalepdf-synctex.1 DESTINATION share/man/man1)
