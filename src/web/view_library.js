// SPDX-License-Identifier: GPL-3.0-or-later
// The functions of js_view.h, linked into emscripten's loader: each hands its
// call to the page's view (kugView, bridge.js), turning addresses in the
// module's memory into strings and pixels.
mergeInto(LibraryManager.library, {
  kugjs_nameEvent: function(event, name) {
    kugView.nameEvent(event, UTF8ToString(name));
  },
  kugjs_setEnabled: function(control, enabled) {
    kugView.setEnabled(control, enabled !== 0);
  },
  kugjs_holdsFocus: function(control) {
    return kugView.holdsFocus(control) ? 1 : 0;
  },
  kugjs_setFocus: function(control) {
    kugView.setFocus(control);
  },
  kugjs_place: function(control, x, y, w, h) {
    kugView.place(control, x, y, w, h);
  },
  kugjs_textSize: function(field) {
    return lengthBytesUTF8(kugView.text(field)) + 1;
  },
  kugjs_copyText: function(field, buffer, size) {
    stringToUTF8(kugView.text(field), buffer, size);
  },
  kugjs_setText: function(field, text) {
    kugView.setText(field, UTF8ToString(text));
  },
  kugjs_selectAll: function(field) {
    kugView.selectAll(field);
  },
  kugjs_isChecked: function(box) {
    return kugView.isChecked(box) ? 1 : 0;
  },
  kugjs_setChecked: function(box, ticked) {
    kugView.setChecked(box, ticked !== 0);
  },
  kugjs_resizeInner: function(w, h) {
    return kugView.resizeInner(w, h);
  },
  kugjs_setTitle: function(title) {
    kugView.setTitle(UTF8ToString(title));
  },
  kugjs_describeBoard: function(text, holdMs) {
    kugView.describeBoard(UTF8ToString(text), holdMs);
  },
  kugjs_showAbout: function(title, text) {
    kugView.showAbout(UTF8ToString(title), UTF8ToString(text));
  },
  kugjs_quit: function() {
    kugView.quit();
  },
  kugjs_captionNeed: function(control, need) {
    var size = kugView.captionNeed(control);
    HEAP32[need >> 2] = size[0];
    HEAP32[(need >> 2) + 1] = size[1];
  },
  kugjs_contentsTop: function(frame) {
    return kugView.contentsTop(frame);
  },
  kugjs_paint: function(pixels, w, h, rects, count, lines) {
    // Fresh views each time: the memory may have grown since the last one.
    kugView.paint(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, w * h * 4), w, h),
                  HEAP32.subarray(rects >> 2, (rects >> 2) + 4 * count),
                  lines ? UTF8ToString(lines) : null);
  },
});
