// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page's side of the web view: functions of the small JavaScript view
// (view_library.js forwards each to kugView, bridge.js). Controls and the
// user's events are passed as the numbers of kug::Control and
// kug::UserEvent; texts as UTF-8.

#include <cstdint>

extern "C" {

// The number of the user's event of this name.
void kugjs_nameEvent(int event, const char* name);

void kugjs_setEnabled(int control, int enabled);
int kugjs_holdsFocus(int control);
void kugjs_setFocus(int control);
void kugjs_place(int control, int x, int y, int width, int height);

// A field's text: its length in bytes with the closing zero, then the bytes.
int kugjs_textSize(int field);
void kugjs_copyText(int field, char* buffer, int size);
void kugjs_setText(int field, const char* text);
void kugjs_selectAll(int field);
int kugjs_isChecked(int box);
void kugjs_setChecked(int box, int ticked);

// The window's new inner size; returns the board's scale (device pixels per
// pixel) for the window as the page now scales it to fit.
int kugjs_resizeInner(int width, int height);
void kugjs_setTitle(const char* title);
// A description published; the page calls kug_description_released once
// `holdMs` have passed.
void kugjs_describeBoard(const char* text, int holdMs);
void kugjs_showAbout(const char* title, const char* text);
void kugjs_quit();

// What a control's caption needs in the page's font, written to `need` as
// width and height, and where a frame's contents start below its caption.
void kugjs_captionNeed(int control, int* need);
int kugjs_contentsTop(int frame);

// One paint: the board's RGBA pixels, `canvasWidth` by `canvasHeight`
// device pixels, of which the page copies the `count` rectangles at `rects`
// (x, y, width and height each) to its canvas, and the board's text lines
// when they changed (one below the other, each ended by a line feed but the
// last; null when unchanged).
void kugjs_paint(const std::uint8_t* pixels, int canvasWidth, int canvasHeight,
                 const std::int32_t* rects, int count, const char* textLines);
}
