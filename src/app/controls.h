// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's controls as designed, one row each, in the order the window
// creates them: name, kind, container, caption or text, place and size in
// twips, tab index, initial state, the name a screen reader gives a control
// without a caption of its own, a button's pictures and the field a label
// names. Both front ends build their controls by walking this table; the
// `Control` enum is its list of names. The timers are not controls here: they
// are the form's clock's.
//
// Names. A control is named by a Croatian word for its role and a suffix for
// its kind: txt a text field, cmd a command button, chk a check box, lbl a
// label; the two frames are params and gumbi, the drawing area simarea. The
// words: stupci columns, kuglice balls, brzina speed, gumbi buttons, brza
// fast, petlja loop, trag trail, teorijska theoretical, params parameters,
// start/stop/fullstop start, pause and abort, exit exit. One check box keeps
// the toolkit's default name, Check1.

#include "app/frame_fit.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace kug {

// clang-format off
#define KUG_CONTROL_TABLE(X)                                                                        \
    X(gumbi, .kind = ControlKind::Frame, .caption = "gumbi", .designed = {3720, 3600, 2175, 735},   \
      .tabIndex = 8, .captionShown = false)                                                        \
    X(exitcmd, .kind = ControlKind::PictureButton, .container = Control::gumbi,                    \
      .designed = {1680, 120, 450, 450}, .tabIndex = 12, .accessibleName = "Izlaz",                \
      .picture = "exit")                                                                           \
    X(fullstopcmd, .kind = ControlKind::PictureButton, .container = Control::gumbi,                \
      .designed = {1020, 120, 450, 450}, .tabIndex = 11, .enabled = false,                         \
      .accessibleName = "Zaustavi", .picture = "stop", .disabledPicture = "stop_disabled")         \
    X(stopcmd, .kind = ControlKind::PictureButton, .container = Control::gumbi,                    \
      .designed = {570, 120, 450, 450}, .tabIndex = 10, .enabled = false,                          \
      .accessibleName = "Pauza", .picture = "pause", .disabledPicture = "pause_disabled")          \
    X(startcmd, .kind = ControlKind::PictureButton, .container = Control::gumbi,                   \
      .designed = {120, 120, 450, 450}, .tabIndex = 9, .accessibleName = "Pokreni",                \
      .picture = "play", .disabledPicture = "play_disabled")                                       \
    X(simarea, .kind = ControlKind::DrawingArea, .designed = {0, 0, 3615, 3855}, .tabIndex = 1,    \
      .accessibleName = "Ploča")                                                                   \
    X(params, .kind = ControlKind::Frame, .caption = "Parametri",                                  \
      .designed = {3720, 0, 2175, 3615}, .tabIndex = 0)                                            \
    X(petljachk, .kind = ControlKind::CheckBox, .container = Control::params,                      \
      .caption = "U petlji", .designed = {360, 2520, 1335, 255}, .tabIndex = 17, .enabled = false) \
    X(tragchk, .kind = ControlKind::CheckBox, .container = Control::params,                        \
      .caption = "Kuglica ostavlja trag", .designed = {120, 3000, 1815, 195}, .tabIndex = 16)      \
    X(brzachk, .kind = ControlKind::CheckBox, .container = Control::params,                        \
      .caption = "Brza simulacija", .designed = {120, 2280, 1815, 255}, .tabIndex = 15)            \
    X(Check1, .kind = ControlKind::CheckBox, .container = Control::params, .caption = "Zvuk",      \
      .designed = {120, 3240, 735, 255}, .tabIndex = 14, .enabled = false)                         \
    X(teorijskachk, .kind = ControlKind::CheckBox, .container = Control::params,                   \
      .caption = "Teorijska raspodjela", .designed = {120, 1200, 1815, 255}, .tabIndex = 13)       \
    X(brzinatxt, .kind = ControlKind::TextBox, .container = Control::params, .caption = "Text3",   \
      .designed = {1440, 1680, 615, 375}, .tabIndex = 6)                                           \
    X(kuglicetxt, .kind = ControlKind::TextBox, .container = Control::params, .caption = "Text2",  \
      .designed = {1440, 720, 615, 375}, .tabIndex = 3)                                            \
    X(stupcitxt, .kind = ControlKind::TextBox, .container = Control::params, .caption = "Text1",   \
      .designed = {1440, 240, 615, 375}, .tabIndex = 2)                                            \
    X(brzinalbl, .kind = ControlKind::Label, .container = Control::params,                         \
      .caption = "Brzina simulacije:", .designed = {120, 1680, 1215, 375}, .tabIndex = 7,          \
      .names = Control::brzinatxt)                                                                 \
    X(kuglicelbl, .kind = ControlKind::Label, .container = Control::params,                        \
      .caption = "Broj kuglica:", .designed = {120, 720, 1215, 375}, .tabIndex = 5,                \
      .names = Control::kuglicetxt)                                                                \
    X(stupcilbl, .kind = ControlKind::Label, .container = Control::params,                         \
      .caption = "Broj stupaca:", .designed = {120, 240, 1215, 375}, .tabIndex = 4,                \
      .names = Control::stupcitxt)
// clang-format on

#define KUG_CONTROL_NAME(name, ...) name,
enum class Control { KUG_CONTROL_TABLE(KUG_CONTROL_NAME) };
#undef KUG_CONTROL_NAME

enum class ControlKind { Frame, PictureButton, DrawingArea, CheckBox, TextBox, Label };

struct ControlDesign {
    const char* name = "";
    ControlKind kind = ControlKind::Label;
    // The frame that holds the control; none for the window's own.
    std::optional<Control> container;
    // The caption, or a text box's designed text; empty for none.
    const char* caption = "";
    // Left, top, width and height in twips of the container's inside.
    Box designed;
    int tabIndex = 0;
    bool enabled = true;
    bool checked = false;
    // Whether a frame draws its caption.
    bool captionShown = true;
    // What a screen reader calls a control that shows no caption.
    const char* accessibleName = "";
    // A button's pictures, by the names of their designs in assets/ (the
    // disabled one empty for a button that is never disabled).
    const char* picture = "";
    const char* disabledPicture = "";
    // The field a label names for a screen reader.
    std::optional<Control> names;
};

// (GCC 12 warns of every member a designated initializer leaves to its
// default.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define KUG_CONTROL_ROW(n, ...) ControlDesign{.name = #n, __VA_ARGS__},
inline constexpr std::array controlTable{KUG_CONTROL_TABLE(KUG_CONTROL_ROW)};
#undef KUG_CONTROL_ROW
#pragma GCC diagnostic pop

inline constexpr std::size_t controlCount = controlTable.size();

constexpr const ControlDesign& designOf(Control control) {
    return controlTable[static_cast<std::size_t>(control)];
}

constexpr Control controlAt(std::size_t index) {
    return static_cast<Control>(index);
}

// Whether the control takes the keyboard focus when enabled: frames and
// labels never do.
constexpr bool takesFocus(Control control) {
    const ControlKind kind = designOf(control).kind;
    return kind != ControlKind::Frame && kind != ControlKind::Label;
}

// The controls that take the focus, in their tab order.
std::vector<Control> tabChain();
// The controls that `frame` holds, in the order of the table.
std::vector<Control> controlsIn(Control frame);

// The window as designed. A twip is 1/1440 inch, 15 of them a pixel on a
// 96-dpi screen; the window's outer size is in twips, its inside in pixels.
inline constexpr int twipsPerPixel = 15;
// Designed twips to pixels.
constexpr int pixels(int twips) {
    return twips / twipsPerPixel;
}
constexpr Box pixels(const Box& twips) {
    return Box{pixels(twips.x), pixels(twips.y), pixels(twips.w), pixels(twips.h)};
}
// The inner area, and where it starts in the outer window: the borders left,
// right and below, and the caption and border above.
inline constexpr Extent designedInnerTwips{5940, 5325};
inline constexpr int sideBorderTwips = 60;
inline constexpr int topBorderTwips = 345;
// The drawing area's sunken border, in pixels each side.
inline constexpr int drawingAreaBorder = 2;

} // namespace kug
