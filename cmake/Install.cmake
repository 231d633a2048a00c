# What `cmake --install` puts under the prefix, and the Debian package CPack
# builds from it: the program, its desktop entry, icons, AppStream metainfo
# and manual page. Libraries, tests and benchmarks are never installed.
include(GNUInstallDirs)

# The desktop entry keeps the plain name "tavro.desktop": the shortcut made
# under Tools > Options writes the same name into the user's applications
# folder, where it takes the installed entry's place instead of doubling it.
# The icon is named after the entry; the AppStream id is reverse-DNS.
set(TAVRO_DESKTOP_ID tavro)
set(TAVRO_APPSTREAM_ID com.ostrivanteco.tavro)

install(TARGETS tavro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/tavro.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${TAVRO_DESKTOP_ID}.desktop)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tavro.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME ${TAVRO_APPSTREAM_ID}.metainfo.xml)

set(icons ${PROJECT_SOURCE_DIR}/resources/icons/hicolor)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${icons}/${size}x${size}/tavro.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${TAVRO_DESKTOP_ID}.png)
endforeach()
install(FILES ${icons}/tavro.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${TAVRO_DESKTOP_ID}.svg)

# Manual pages are installed compressed, as the man pages of Debian are.
set(man_page ${CMAKE_CURRENT_BINARY_DIR}/tavro.1.gz)
add_custom_command(OUTPUT ${man_page}
                   COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/resources/tavro.1 > ${man_page}
                   DEPENDS ${PROJECT_SOURCE_DIR}/resources/tavro.1 VERBATIM)
add_custom_target(tavro_man_page ALL DEPENDS ${man_page})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian package: `cmake --build BUILD --target package` writes tavro_VERSION_ARCH.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavro)
set(CPACK_PACKAGE_VENDOR Ostrivanteco)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text editor for source code, web pages and scripts")
set(CPACK_PACKAGE_DESCRIPTION
    "Tavro is a desktop text editor for programmers and for writers of web
pages and scripts. One main window holds any number of documents, each
shown in up to two by two split panes and coloured by the syntax of one
of twelve built-in languages. Files are saved back in the encoding they
were read in (UTF-8, Windows-1252 or UTF-16), byte for byte.
.
It offers find and replace with regular expressions, bookmarks, printing
and print preview, spell checking with the system's dictionaries, and
fonts and colours for each language.")
set(TAVRO_PACKAGE_MAINTAINER "Ostrivanteco Tavro team <tavro@ostrivanteco.com>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAVRO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.ostrivanteco.com/tavro/")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the program links to are found by dpkg-shlibdeps; a spelling
# dictionary is loaded at run time, so it is only recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hunspell-en-us | hunspell-dictionary")
set(CPACK_STRIP_FILES ON)
include(CPack)
