# `cmake --install`: the program, its menu entry, AppStream metadata, icons and manual page in
# the usual GNU folders. The installed program needs nothing else: its pictures are compiled in.

set(VELUMINA_HOMEPAGE_URL "https://quorlen.com/velumina" CACHE STRING "Velumina's home page")
set(VELUMINA_RELEASE_DATE "2026-12-07")
set(VELUMINA_CHANGELOG_DATE "Mon, 07 Dec 2026 12:00:00 +0000")

set(velumina_linux ${PROJECT_SOURCE_DIR}/resources/linux)
set(velumina_generated ${CMAKE_BINARY_DIR}/install-files)
configure_file(${velumina_linux}/velumina.desktop.in ${velumina_generated}/${VELUMINA_APP_ID}.desktop @ONLY)
configure_file(${velumina_linux}/velumina.metainfo.xml.in ${velumina_generated}/${VELUMINA_APP_ID}.metainfo.xml
    @ONLY)
configure_file(${velumina_linux}/velumina.1.in ${velumina_generated}/velumina.1 @ONLY)
configure_file(${velumina_linux}/changelog.in ${velumina_generated}/changelog @ONLY)

# Manual pages and the changelog are kept compressed, as Debian's policy wants.
find_program(VELUMINA_GZIP gzip REQUIRED)
foreach(name velumina.1 changelog)
    add_custom_command(OUTPUT ${velumina_generated}/${name}.gz
        COMMAND ${VELUMINA_GZIP} -9 -n -c ${velumina_generated}/${name} > ${velumina_generated}/${name}.gz
        DEPENDS ${velumina_generated}/${name}
        VERBATIM)
endforeach()
add_custom_target(velumina_install_files ALL
    DEPENDS ${velumina_generated}/velumina.1.gz ${velumina_generated}/changelog.gz)

install(TARGETS velumina RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${velumina_generated}/${VELUMINA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${velumina_generated}/${VELUMINA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${velumina_generated}/velumina.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
foreach(size 16 24 32 48 64 128 256 512)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/velumina-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${VELUMINA_APP_ID}.png)
endforeach()
install(FILES ${velumina_linux}/copyright ${velumina_generated}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velumina)
