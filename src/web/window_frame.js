// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a window manager frames it: a title bar that maximises the
// window or shows it full screen, a resize grip, and a scale that fits the
// window into any viewport, with the board drawn at whole device pixels.
// Installed as an app, the system's window is the window's frame instead.

// The title bar as a mouse sees it, and its padding around the buttons.
const BAR_HEIGHT = cssSize('--bar-height');
const BAR_PADDING = cssSize('--bar-padding');
// Around a window that neither is maximised nor fills the screen; at the
// sides only where there is room, so that a phone's narrow viewport scales
// the window (and its buttons) down no more than it must.
const MARGIN = cssSize('--margin');
const coarseQuery = matchMedia('(pointer: coarse)');
// An installed app's own window: the standalone display mode. (iOS and
// iPadOS report fullscreen for a home-screen app, and navigator.standalone.)
const standaloneQuery = matchMedia('(display-mode: standalone)');
// An app's window that the user put full screen reports the fullscreen mode;
// so does a tab that the page put full screen (Chromium), which keeps its
// title bar.
const appQuery = matchMedia('(display-mode: standalone), (display-mode: fullscreen)');

const fullScreen = () => document.fullscreenElement != null;

// Whether the system's window frames the window: an app's window, full
// screen or not. Full screen counts only once the page has been in one.
function standalone() {
  page.app = page.app || standaloneQuery.matches || navigator.standalone === true;
  return page.app && appQuery.matches;
}
const fills = () => standalone() || page.maximised || fullScreen();

// The board is drawn at whole device pixels per pixel, for the window as
// scaled on the page.
function wholeScale() {
  return Math.max(1, Math.round((window.devicePixelRatio || 1) * page.fit));
}

// The frame around the window's inside: the title bar's height, `bar` pixels
// at the window's scale and `fixed` CSS pixels of the screen at any scale (on
// a touch screen its buttons keep a finger's size), and the borders' `edge`
// across. An app's window has none of them.
function frameParts() {
  if (standalone()) return {fixed: 0, bar: 0, edge: 0};
  return page.coarse ? {fixed: TOUCH_TARGET, bar: 2 * BAR_PADDING, edge: 2}
                     : {fixed: 0, bar: BAR_HEIGHT, edge: 2};
}

// The page's room for the window: the layout viewport (pinch zoom and the
// on-screen keyboard change only the visual one), without the scroll bars
// that a window not yet fitted may have brought.
function viewport() {
  const e = document.documentElement;
  const overflow = e.style.overflow;
  e.style.overflow = 'hidden';
  const room = {w: e.clientWidth, h: e.clientHeight - (fills() ? 0 : 2 * MARGIN)};
  e.style.overflow = overflow;
  return room;
}

// The scale at which a window of inner size w x h, with its borders and title
// bar, fits into `room`: never above 1.
function fitFor(w, h, room) {
  const {fixed, bar, edge} = frameParts();
  return Math.min(1, room.w / (w + edge), (room.h - fixed) / (h + edge + bar));
}

// The inner size of a window that fills the room, at the scale that fits its
// minimum size into it.
function fillSize() {
  const room = viewport();
  const fit = fitFor(Module._kug_minimum(0), Module._kug_minimum(1), room);
  const {fixed, bar, edge} = frameParts();
  return {w: Math.floor(room.w / fit) - edge, h: Math.floor((room.h - fixed) / fit) - edge - bar};
}

// Places and scales the frame for the window's size; returns the board's
// scale. While the grip is dragged the scale stays.
function fitFrame() {
  page.coarse = coarseQuery.matches;
  const room = viewport();
  if (!page.dragging) page.fit = fitFor(page.inner.w, page.inner.h, room);
  const fit = page.fit;
  const {fixed, bar, edge} = frameParts();
  const frame = byId('frame');
  const s = frame.style;
  const side = Math.min(MARGIN, Math.max(0, (room.w - (page.inner.w + edge) * fit) / 2));
  if (!page.dragging) s.left = (fills() ? 0 : side) + 'px';
  s.top = (fills() ? 0 : MARGIN) + 'px';
  s.transform = fit < 1 ? 'scale(' + fit + ')' : '';
  s.setProperty('--bar', fixed / fit + bar + 'px');
  s.setProperty('--touch', TOUCH_TARGET / fit + 'px');
  frame.classList.toggle('coarse', page.coarse);
  frame.classList.toggle('maximised', page.maximised);
  frame.classList.toggle('fullscreen', fullScreen());
  frame.classList.toggle('standalone', standalone());
  return wholeScale();
}

// The form's new inner size for the window; returns the board's scale for
// the window as the page now scales it.
function resizeWindow(w, h) {
  const s = byId('window').style;
  s.width = w + 'px';
  s.height = h + 'px';
  page.inner = {w, h};
  page.scale = fitFrame();
  // The targets are placed for touch once the form has placed the controls.
  queueMicrotask(touchTargets);
  return page.scale;
}

function resize(w, h) {
  Module._kug_resize(w, h);
  requestFrame();
}

// After a change of the viewport, the pointer or the frame's state: a window
// that fills the room (an app's window, or one maximised or full screen)
// follows it, each change a Form_Resize; any other only scales to fit.
function layout() {
  if (!page.started || page.ended) return;
  if (fills() && !page.dragging) {
    const size = fillSize();
    if (size.w !== page.inner.w || size.h !== page.inner.h) resize(size.w, size.h);
  }
  const next = fitFrame();
  if (next !== page.scale) {
    page.scale = next;
    Module._kug_set_scale(page.scale);
    redrawBoardText();
    requestFrame();
  }
  touchTargets();
}

// The earlier size, when the window neither is maximised nor fills the screen
// any more: a resize like any other.
function restoreSize() {
  const size = page.restore;
  page.restore = null;
  if (size && !fills()) resize(size.w, size.h);
}

function toggleMaximised() {
  if (!page.started || page.ended || fullScreen()) return;
  page.maximised = !page.maximised;
  if (page.maximised)
    page.restore = {...page.inner};
  else
    restoreSize();
  showFrameState();
  layout();
}

function showFrameState() {
  const max = byId('maximise');
  max.setAttribute('aria-label', page.maximised ? 'Vrati' : 'Maksimiziraj');
  max.disabled = fullScreen();
  byId('fullscreen').setAttribute('aria-pressed', String(fullScreen()));
}

function wireTitleBar() {
  byId('maximise').addEventListener('click', toggleMaximised);
  const full = byId('fullscreen');
  // An iPhone shows no page full screen.
  full.hidden = !document.fullscreenEnabled;
  full.addEventListener('click', () => {
    if (page.ended) return;
    if (fullScreen()) {
      document.exitFullscreen().catch(() => {});
    } else {
      if (!page.maximised) page.restore = {...page.inner};
      document.documentElement.requestFullscreen().catch(() => {});
    }
  });
  document.addEventListener('fullscreenchange', () => {
    if (!fullScreen() && !page.maximised) restoreSize();
    showFrameState();
    layout();
  });
}

// The resize grip at the window's corner: the window's own resize, which runs
// Form_Resize. The browser's viewport changing is no resize. While it is
// dragged the window keeps its scale on the page, so the pointer's movement
// is divided by it.
function wireGrip() {
  const grip = byId('grip');
  let from = null;
  grip.addEventListener('pointerdown', (e) => {
    if (e.button !== 0 || page.ended) return;
    e.preventDefault();
    grip.setPointerCapture(e.pointerId);
    from = {x: e.clientX, y: e.clientY, w: page.inner.w, h: page.inner.h};
    page.dragging = true;
  });
  grip.addEventListener('pointermove', (e) => {
    if (from === null || !page.started || page.ended) return;
    resize(Math.round(from.w + (e.clientX - from.x) / page.fit),
           Math.round(from.h + (e.clientY - from.y) / page.fit));
  });
  const done = () => {
    if (from === null) return;
    from = null;
    page.dragging = false;
    layout();
  };
  grip.addEventListener('pointerup', done);
  grip.addEventListener('pointercancel', done);
}

// A change of the device pixel ratio (another screen, the browser's zoom):
// the board is kept at the nearest whole ratio. The query tells of a new
// screen; a zoom also changes the viewport, which is checked too (and is no
// resize of the window).
function watchScale() {
  const query = matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)');
  query.addEventListener('change', () => {
    layout();
    watchScale();
  }, {once: true});
}

function wireWindowFrame() {
  wireTitleBar();
  wireGrip();
  watchScale();
  window.addEventListener('resize', layout);
  coarseQuery.addEventListener('change', layout);
  appQuery.addEventListener('change', layout);
}
