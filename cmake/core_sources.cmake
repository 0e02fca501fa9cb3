# SPDX-License-Identifier: GPL-3.0-or-later
# The toolkit-free core's sources and the form's, relative to the project's
# root: the desktop's build, the fuzz targets and the web page's emscripten
# build list them from here.
set(KUG_CORE_SOURCES
    src/state/integers.cpp
    src/state/number_text.cpp
    src/state/board_state.cpp
    src/state/parameter_rules.cpp
    src/state/board_geometry.cpp
    src/render/plot_kv.cpp
    src/render/board_description.cpp
    src/render/theory_fill.cpp
    src/render/pixel_raster.cpp
    src/render/pixel_surface.cpp
    src/render/raster_surface.cpp
    src/render/dirty_region.cpp
    src/render/shown_picture.cpp
    src/sim/random_source.cpp
    src/sim/run_setup.cpp
    src/sim/animated_ball.cpp
    src/sim/fast_sim.cpp
)
# The form: the window's controls, handlers and layout, and the clock.
set(KUG_FORM_SOURCES
    src/app/controls.cpp
    src/app/description_hold.cpp
    src/app/form.cpp
    src/app/form_layout.cpp
    src/app/frame_fit.cpp
    src/app/tick_clock.cpp
)
