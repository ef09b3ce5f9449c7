# cmake --install: the programs in bin/, Lumora in lib/, the engine module in
# lib/kelvane/, the shipped data in share/kelvane/, and the desktop files
# (entry, MIME package, icons) where the desktop looks for them. The programs
# find everything relative to their own folder, so the tree can be moved.
set(KELVANE_INSTALL_DATA share/kelvane)
set(KELVANE_ICON_SVG ${CMAKE_SOURCE_DIR}/ui/resources/icons/kelvane.svg)
set(KELVANE_ICON_SIZES 16 24 32 48 64 128 256)
set(KELVANE_ICON_FOLDER ${CMAKE_BINARY_DIR}/icons)

set_target_properties(kelvane kelvane-cli PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
install(TARGETS kelvane kelvane-cli RUNTIME DESTINATION bin)
install(TARGETS lumora LIBRARY DESTINATION lib)
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

# cpack -G DEB: one package for Debian 12, installed under /usr.
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VENDOR "Kelvane")
set(CPACK_PACKAGE_CONTACT "Kelvane developers <kelvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for virtual studio sets (native and vMix formats)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Lumora is the package's own library; dpkg-shlibdeps finds it in the build.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
# Loaded at run time, so no library link shows them: the engine's own
# modules (image, media, capture sources), Qt's X11 platform and SVG icons,
# and a GL driver for the engine under any display.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "obs-studio (>= 29), qt6-qpa-plugins, libqt6svg6, libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
set(CPACK_GENERATOR DEB)
include(CPack)
