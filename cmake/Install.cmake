# cmake --install: the programs in bin/, Lumora and the engine module in the
# program's own lib/kelvane/ (a private library, not one for the system's
# loader), the shipped data in share/kelvane/, and the desktop files (entry,
# MIME package, icons, AppStream data) where the desktop looks for them. The
# programs find everything relative to their own folder, so the tree can be
# moved.
set(KELVANE_INSTALL_DATA share/kelvane)
set(KELVANE_ICON_SVG ${CMAKE_SOURCE_DIR}/ui/resources/icons/kelvane.svg)
set(KELVANE_ICON_SIZES 16 24 32 48 64 128 256)
set(KELVANE_ICON_FOLDER ${CMAKE_BINARY_DIR}/icons)

set_target_properties(kelvane kelvane-cli PROPERTIES INSTALL_RPATH "$ORIGIN/../lib/kelvane")
install(TARGETS kelvane kelvane-cli RUNTIME DESTINATION bin)
install(TARGETS lumora LIBRARY DESTINATION lib/kelvane)
install(TARGETS uvmap-filter LIBRARY DESTINATION lib/kelvane/obs-plugins)
install(FILES ${CMAKE_SOURCE_DIR}/plugins/data/uvmap.effect
        DESTINATION ${KELVANE_INSTALL_DATA}/obs-plugins/uvmap-filter)
file(GLOB KELVANE_SHIPPED_LANGUAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/Language/*.ini)
install(FILES ${KELVANE_SHIPPED_LANGUAGES} DESTINATION ${KELVANE_INSTALL_DATA}/Language)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/samples/ DESTINATION ${KELVANE_INSTALL_DATA}/samples PATTERN README.md EXCLUDE)

# The icon theme's PNG sizes, drawn from the SVG.
set(KELVANE_ICON_PNGS)
foreach(size ${KELVANE_ICON_SIZES})
  list(APPEND KELVANE_ICON_PNGS ${KELVANE_ICON_FOLDER}/${size}x${size}/apps/kelvane.png)
endforeach()
add_custom_command(OUTPUT ${KELVANE_ICON_PNGS}
  COMMAND icon-png ${KELVANE_ICON_SVG} ${KELVANE_ICON_FOLDER} ${KELVANE_ICON_SIZES}
  DEPENDS icon-png ${KELVANE_ICON_SVG}
  COMMENT "Drawing the icon sizes"
  VERBATIM)
add_custom_target(kelvane_icons ALL DEPENDS ${KELVANE_ICON_PNGS})
install(DIRECTORY ${KELVANE_ICON_FOLDER}/ DESTINATION share/icons/hicolor)
install(FILES ${KELVANE_ICON_SVG} DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/kelvane.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/kelvane-mime.xml DESTINATION share/mime/packages RENAME kelvane.xml)

# Manual pages (compressed, as Debian keeps them), the software centres'
# description and the shell completion of kelvane-cli.
set(KELVANE_MAN_PAGES)
foreach(page kelvane.1 kelvane-cli.1)
  configure_file(${CMAKE_SOURCE_DIR}/data/man/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND gzip -9nfk ${page}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/man
    DEPENDS ${CMAKE_BINARY_DIR}/man/${page}
    VERBATIM)
  list(APPEND KELVANE_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(kelvane_man_pages ALL DEPENDS ${KELVANE_MAN_PAGES})
install(FILES ${KELVANE_MAN_PAGES} DESTINATION share/man/man1)
configure_file(${CMAKE_SOURCE_DIR}/data/metainfo/kelvane.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/metainfo/${KELVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/metainfo/${KELVANE_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/data/completion/kelvane-cli DESTINATION share/bash-completion/completions)

# The package's own documents: copyright, and the changelog in Debian's form
# (the package is native: its version has no Debian revision).
set(KELVANE_DOC_FOLDER share/doc/kelvane)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/data/package/changelog > ${CMAKE_BINARY_DIR}/package/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/data/package/changelog
  VERBATIM)
add_custom_target(kelvane_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/data/package/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz
        DESTINATION ${KELVANE_DOC_FOLDER})

# cpack -G DEB: one package for Debian 12, installed under /usr.
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VENDOR "Merokai")
set(CPACK_PACKAGE_CONTACT "Kelvane developers <kelvane@kelvane.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL ${KELVANE_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for virtual studio sets (native and vMix formats)")
# The extended description, in lines that fit Debian's 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Kelvane builds virtual studio sets for live production: picture layers"
  "(background, desk, screens, foreground, overlays) composed over a video"
  "canvas through the libobs engine, screens that show a live picture through"
  "a UV map fitted by their four corners, and shots that pan, zoom and rotate"
  "the set or bring one layer to full frame."
  ""
  "Sets are saved as native scene.tvn packages or as vMix virtual-set folders,"
  "and both open again. A set can start from a layered Photoshop file or from"
  "a multi-view template. kelvane-cli describes, renders and converts sets"
  "without a window, whole folders of them at once.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Lumora is the package's own private library; dpkg-shlibdeps finds it in the build.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
# Loaded at run time, so no library link shows them: the engine's own
# modules (image, media, capture sources), Qt's X11 platform and SVG icons,
# and a GL driver for the engine under any display.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "obs-studio (>= 29), qt6-qpa-plugins, libqt6svg6, libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
set(CPACK_GENERATOR DEB)
include(CPack)
