# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop integration and the Debian package.
#
# `cmake --install` puts the program where a Linux desktop finds it:
#   bin/kuglovica
#   share/applications/io.github.kuglovica.Kuglovica.desktop
#   share/metainfo/io.github.kuglovica.Kuglovica.metainfo.xml
#   share/icons/hicolor/{16x16,32x32,48x48,64x64}/apps/kuglovica.png
#   share/icons/hicolor/scalable/apps/kuglovica.svg
#   share/man/man1/kuglovica.1.gz
#   share/doc/kuglovica/{copyright,changelog.gz}
# and `cpack` (run in the build directory) turns that into a .deb.

include(GNUInstallDirs)

# The folders an install creates take this mode whatever the umask, so that
# the package is the same for everyone who builds it. (It applies to the
# install rules that follow it.)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS kuglovica RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

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

# packaging/changelog is the package's history in debian/changelog syntax; its
# newest entry names the version and the maintainer, so they are read from
# there and the package can never disagree with its own changelog.
set(KUG_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KUG_CHANGELOG})
file(STRINGS ${KUG_CHANGELOG} kug_first_entry LIMIT_COUNT 1 REGEX "^kuglovica \\(")
file(STRINGS ${KUG_CHANGELOG} kug_first_trailer LIMIT_COUNT 1 REGEX "^ -- ")
string(REGEX REPLACE "^kuglovica \\(([^)]*)\\).*" "\\1" kug_changelog_version "${kug_first_entry}")
string(REGEX REPLACE "^ -- (.*>)  .*" "\\1" KUG_MAINTAINER "${kug_first_trailer}")
if(NOT kug_changelog_version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog starts at version '${kug_changelog_version}', "
        "the project is ${PROJECT_VERSION}: add an entry for this version")
endif()
kug_gzip(${KUG_CHANGELOG} changelog.gz)
install(FILES ${KUG_GZ_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/io.github.kuglovica.Kuglovica.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# AppStream: what software centres list. Its newest release has to be this one.
set(KUG_METAINFO ${PROJECT_SOURCE_DIR}/packaging/io.github.kuglovica.Kuglovica.metainfo.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KUG_METAINFO})
file(STRINGS ${KUG_METAINFO} kug_release LIMIT_COUNT 1 REGEX "<release ")
if(NOT kug_release MATCHES "version=\"${PROJECT_VERSION}\"")
    message(FATAL_ERROR "the newest release in ${KUG_METAINFO} is not ${PROJECT_VERSION}")
endif()
# Its screenshots are those of this version's tag.
file(STRINGS ${KUG_METAINFO} kug_images REGEX "<image ")
foreach(image IN LISTS kug_images)
    if(NOT image MATCHES "/v${PROJECT_VERSION}/docs/screenshots/")
        message(FATAL_ERROR "${KUG_METAINFO}: a screenshot not at the tag v${PROJECT_VERSION}: ${image}")
    endif()
endforeach()
install(FILES ${KUG_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The window icon's images, kept as PNG next to their XPM sources.
foreach(size 16 32 48 64)
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
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bean machine (Galton board) simulator")
# CPack copies these lines into the control file as they are; dpkg shows them
# unwrapped, so they are kept under 80 columns here.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Kuglovica drops balls through a triangle of pegs into a row of bins and"
    "draws their histogram next to the binomial distribution one would expect."
    "Every ball bounces left or right with equal chance at each peg."
    ""
    "A board has 2 to 32 columns. A run is either animated, one ball at a time"
    "with an optional trace, or computed at once, and a fast run can repeat in"
    "a loop. The window is labelled in Croatian.")
set(CPACK_PACKAGE_CONTACT "${KUG_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# control files with the modes dpkg expects (0644, scripts 0755)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
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
