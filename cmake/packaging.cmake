# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop integration and the Debian package.
#
# `cmake --install` puts the program where a Linux desktop finds it:
#   bin/kuglovica
#   share/applications/io.github.kuglovica.Kuglovica.desktop
#   share/icons/hicolor/{16x16,32x32}/apps/kuglovica.png
#   share/icons/hicolor/scalable/apps/kuglovica.svg
#   share/man/man1/kuglovica.1.gz
# and `cpack` (run in the build directory) turns that into a .deb.

include(GNUInstallDirs)

# Debian wants manual pages and changelogs compressed, and byte for byte the
# same on every build: -n keeps the name and time stamp out of the header.
find_program(KUG_GZIP gzip REQUIRED)
set(KUG_GZ_DIR ${PROJECT_BINARY_DIR}/packaging)
function(kug_gzip source output)
    add_custom_command(OUTPUT ${KUG_GZ_DIR}/${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${KUG_GZ_DIR}
        COMMAND ${KUG_GZIP} -9nc ${source} > ${KUG_GZ_DIR}/${output}
        DEPENDS ${source}
        COMMENT "Compressing ${output}"
        VERBATIM)
    set_property(GLOBAL APPEND PROPERTY KUG_GZ_FILES ${KUG_GZ_DIR}/${output})
endfunction()

kug_gzip(${PROJECT_SOURCE_DIR}/packaging/kuglovica.1 kuglovica.1.gz)
install(FILES ${KUG_GZ_DIR}/kuglovica.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/io.github.kuglovica.Kuglovica.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The window icon's two images, kept as PNG next to their XPM sources.
foreach(size 16 32)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icon${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME kuglovica.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/kuglovica.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

get_property(kug_gz_files GLOBAL PROPERTY KUG_GZ_FILES)
add_custom_target(kuglovica_docs ALL DEPENDS ${kug_gz_files})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kuglovica)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Bean machine (Galton board) simulator")
set(CPACK_PACKAGE_DESCRIPTION
    "Kuglovica drops balls through a triangle of pegs into a row of bins, animated \
or all at once, and shows their histogram next to the binomial distribution.")
set(CPACK_PACKAGE_CONTACT "Kuglovica developers <kuglovica@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The X11 platform plugin is loaded at run time, so no library dependency
# reveals it; without it Qt can start but not open a window.
set(KUG_DEB_DEPENDS "qt6-qpa-plugins")
find_program(KUG_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KUG_DPKG_SHLIBDEPS)
    # the shared libraries' packages, with versions, read from the binary
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    string(APPEND KUG_DEB_DEPENDS
        ", libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4)"
        ", libstdc++6 (>= 12), libc6 (>= 2.34), libgcc-s1")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${KUG_DEB_DEPENDS}")

include(CPack)
