// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, once emscripten's loader has the form running: the page wires
// its events and the form starts, placing the controls and fitting the
// frames to what the page's font needs. The last part: every other is in
// place by now.

function start() {
  stats.startMs = performance.now();
  measureBoardFont();
  page.scale = wholeScale();
  for (const wire of [watchEventOrder, wireControls, wireAbout, wireTouch, wireWindowFrame])
    wire();
  showFrameState(); // a browser may keep the buttons' states across a reload
  page.started = true;
  Module._kug_start(page.scale);
  // An app's window is the window's: its first size a resize.
  layout();
  requestFrame();
  // The window instead of the line that says the browser is too old, which
  // shows only after a while (the style sheet), so never before this.
  byId('too-old').hidden = true;
  document.documentElement.dataset.started = 'true';
}

// No WebAssembly, or it would not start: the page says so, as it does
// without script.
function unavailable() {
  page.ended = true;
  byId('too-old').hidden = true;
  byId('frame').hidden = true;
  byId('unavailable').hidden = false;
}

window.Module = {
  onRuntimeInitialized: start,
  onAbort: unavailable
};
