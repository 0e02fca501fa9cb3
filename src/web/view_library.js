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
  kugjs_paint: function(rgba, x, y, w, h, canvasW, canvasH, lines) {
    // A fresh view each time: the memory may have grown since the last one.
    var pixels =
        w > 0 ? new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4), w, h) : null;
    kugView.paint(pixels, x, y, canvasW, canvasH, lines ? UTF8ToString(lines) : null);
  },
});
