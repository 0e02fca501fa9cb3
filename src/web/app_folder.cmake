# SPDX-License-Identifier: GPL-3.0-or-later
# The web app's folder, KUG_WEB_OUT/app, for any static web server under any
# path: the page as index.html, the manifest, the service worker and the
# icons, drawn from the window icon's design (scripts/draw_pictures.py,
# scripts/app_folder.py). The page itself names none of them: its install
# script asks for them only when it is served.
set(KUG_APP_OUT ${KUG_WEB_OUT}/app)
set(KUG_APP_ICONS icon-192.png icon-512.png icon-maskable-512.png apple-touch-icon.png)
list(TRANSFORM KUG_APP_ICONS PREPEND ${KUG_APP_OUT}/)
add_custom_command(OUTPUT ${KUG_APP_ICONS}
    COMMAND ${KUG_PYTHON} ${KUG_ROOT}/scripts/draw_pictures.py --app-icons ${KUG_APP_OUT}
    DEPENDS ${KUG_ROOT}/scripts/draw_pictures.py
    COMMENT "The web app's icons")
add_custom_command(
    OUTPUT ${KUG_APP_OUT}/index.html ${KUG_APP_OUT}/manifest.webmanifest ${KUG_APP_OUT}/service_worker.js
    COMMAND ${KUG_PYTHON} ${KUG_ROOT}/scripts/app_folder.py --page ${KUG_WEB_OUT}/kuglovica.html
        --worker ${CMAKE_CURRENT_SOURCE_DIR}/service_worker.js ${KUG_APP_OUT}
    DEPENDS ${KUG_WEB_OUT}/kuglovica.html ${CMAKE_CURRENT_SOURCE_DIR}/service_worker.js ${KUG_APP_ICONS}
        ${KUG_ROOT}/scripts/app_folder.py ${KUG_ROOT}/scripts/draw_pictures.py
    COMMENT "The web app's folder")
add_custom_target(app_folder ALL DEPENDS ${KUG_APP_OUT}/service_worker.js)
