// SPDX-License-Identifier: GPL-3.0-or-later
// The page's view of Kuglovica's form. The form itself runs as WebAssembly
// (emscripten's loader, kuglovica.js, which holds it); it calls the functions
// of kugView below to change the controls, and the page calls its handlers,
// exported as Module._kug_<handler>, for the user's events. Animation frames
// drive the timers and paint the board once each. Around the window the page
// draws a window manager's frame: a title bar that maximises the window or
// shows it full screen, and a scale that fits the window into any viewport.
'use strict';

(function () {
  // The controls in the order of the form's Control numbers.
  const CONTROLS = ['gumbi', 'exitcmd', 'fullstopcmd', 'stopcmd', 'startcmd', 'simarea', 'params',
    'petljachk', 'tragchk', 'brzachk', 'Check1', 'teorijskachk', 'brzinatxt', 'kuglicetxt',
    'stupcitxt', 'brzinalbl', 'kuglicelbl', 'stupcilbl'];
  const FIELDS = ['stupcitxt', 'kuglicetxt', 'brzinatxt'];
  const BUTTONS = ['startcmd', 'stopcmd', 'fullstopcmd', 'exitcmd'];
  // The description changes at most this often, so that a screen reader is
  // not handed thirty landings a second.
  const DESCRIPTION_HOLD_MS = 250;

  const byId = (id) => document.getElementById(id);
  const element = (control) => byId(CONTROLS[control]);
  // What takes the focus and the disabled state: a check box's box, else the
  // element itself.
  const focusable = (control) => {
    const e = element(control);
    return e.classList.contains('check') ? e.querySelector('input') : e;
  };

  let started = false;
  let ended = false;
  let scale = 1; // device pixels per pixel of the board
  let inner = { w: 0, h: 0 }; // the window's inner size
  let frameRequested = false;
  let paintsThisFrame = 0;
  let needs = null;
  const shownText = {}; // each field's text as last shown, for a disabled field
  const description = { pending: '', shown: null, hold: null };
  let aboutReturn = null; // where the focus goes back after the About box

  // Figures for the tests and the benchmarks.
  const stats = {
    frames: 0, paints: 0, maxPaintsPerFrame: 0, paintsOutsideFrames: 0,
    startMs: null, firstPaintMs: null, firstShownMs: null,
    ticks: () => (started ? Module._kug_ticks() : 0),
  };

  // The board is drawn at whole device pixels per pixel, for the window as
  // scaled on the page.
  function wholeScale() {
    return Math.max(1, Math.round((window.devicePixelRatio || 1) * frameState.fit));
  }

  function call(handler) {
    if (!started || ended) return;
    Module['_kug_' + handler]();
    requestFrame();
  }

  function requestFrame() {
    if (frameRequested || ended || !started) return;
    frameRequested = true;
    requestAnimationFrame(frame);
  }

  function frame(time) {
    frameRequested = false;
    if (ended) return;
    stats.frames++;
    paintsThisFrame = 0;
    const more = Module._kug_frame(time);
    stats.maxPaintsPerFrame = Math.max(stats.maxPaintsPerFrame, paintsThisFrame);
    paintsThisFrame = -1;
    if (more) requestFrame();
  }

  // ---- Measuring the captions in the page's font ----------------------------

  function measure() {
    needs = {};
    const size = (e) => {
      const r = e.getBoundingClientRect();
      return [Math.ceil(r.width), Math.ceil(r.height)];
    };
    for (const name of CONTROLS) {
      const e = byId(name);
      if (e.classList.contains('caption') || e.classList.contains('check')) needs[name] = size(e);
      else if (e.classList.contains('field')) needs[name] = [0, size(e)[1]];
    }
    needs.contentsTop = Math.ceil(byId('params').querySelector('legend').getBoundingClientRect().height);
    const probe = document.createElement('canvas').getContext('2d');
    probe.font = boardFont();
    const m = probe.measureText('Još 250 kuglica.');
    needs.lineHeight = Math.ceil(m.fontBoundingBoxAscent + m.fontBoundingBoxDescent);
    needs.ascent = m.fontBoundingBoxAscent;
  }

  function boardFont() {
    const style = getComputedStyle(document.body);
    return style.fontSize + ' ' + style.fontFamily;
  }

  // ---- The view, called by the form ---------------------------------------

  const view = {
    setEnabled(control, on) {
      const name = CONTROLS[control];
      const e = element(control);
      // (A button's picture follows its state in the style sheet.)
      if (e.tagName === 'FIELDSET') {
        e.disabled = !on;
      } else if (e.classList.contains('check')) {
        focusable(control).disabled = !on;
        e.classList.toggle('disabled', !on);
      } else if (e.classList.contains('caption')) {
        e.classList.toggle('disabled', !on);
        e.setAttribute('aria-disabled', String(!on));
      } else if (name === 'simarea' || name === 'gumbi') {
        e.setAttribute('aria-disabled', String(!on));
      } else {
        e.disabled = !on;
      }
    },
    holdsFocus(control) {
      const active = document.activeElement;
      return active !== null && active !== document.body && element(control).contains(active);
    },
    setFocus(control) {
      const name = CONTROLS[control];
      (name === 'simarea' ? byId('board') : focusable(control)).focus({ preventScroll: true });
    },
    place(control, x, y, w, h) {
      const s = element(control).style;
      s.left = x + 'px';
      s.top = y + 'px';
      s.width = w + 'px';
      s.height = h + 'px';
      if (CONTROLS[control] === 'simarea') {
        // The board inside the sunken border, 2 pixels each side.
        for (const id of ['board', 'boardtext']) {
          byId(id).style.width = Math.max(w - 4, 0) + 'px';
          byId(id).style.height = Math.max(h - 4, 0) + 'px';
        }
      }
    },
    text(field) {
      return element(field).value;
    },
    setText(field, text) {
      element(field).value = text;
      shownText[CONTROLS[field]] = text;
    },
    selectAll(field) {
      element(field).select();
    },
    isChecked(box) {
      const input = focusable(box);
      return input.checked && !input.indeterminate;
    },
    // Returns the board's scale for the window as the page now scales it.
    resizeInner(w, h) {
      const s = byId('window').style;
      s.width = w + 'px';
      s.height = h + 'px';
      inner = { w, h };
      scale = fitFrame();
      // The targets are placed for touch once the form has placed the controls.
      queueMicrotask(touchTargets);
      return scale;
    },
    setTitle(title) {
      document.title = title;
      byId('window').setAttribute('aria-label', title);
      byId('caption').textContent = title;
    },
    describeBoard(text) {
      description.pending = text;
      if (description.hold === null) publishDescription();
    },
    showAbout(title, text) {
      const box = byId('about');
      if (box.open) return;
      byId('about-title').textContent = title;
      byId('about-text').textContent = text.split('\r\n').join('\n');
      aboutReturn = document.activeElement;
      box.showModal();
    },
    quit() {
      ended = true;
      if (description.hold !== null) clearTimeout(description.hold);
      const box = byId('about');
      if (box.open) box.close();
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
      // Every timer is the form's and stopped with it; the frames stop here.
      // What is left is a blank page: a browser closes only a tab a script
      // opened.
      document.body.replaceChildren();
      document.body.className = 'ended';
      document.documentElement.dataset.ended = 'true';
      window.close();
    },
    captionNeed(control, axis) {
      const need = needs[CONTROLS[control]];
      return need ? need[axis] : 0;
    },
    contentsTop() {
      return needs.contentsTop;
    },
    lineHeight() {
      return needs.lineHeight;
    },
    paint(pixels, x, y, canvasW, canvasH, lines) {
      const board = byId('board');
      const text = byId('boardtext');
      if (board.width !== canvasW || board.height !== canvasH) {
        board.width = text.width = canvasW;
        board.height = text.height = canvasH;
        lines = lines === null ? currentLines : lines;
      }
      if (pixels) board.getContext('2d').putImageData(pixels, x, y);
      if (lines !== null) drawText(text, lines);
      stats.paints++;
      if (paintsThisFrame < 0) stats.paintsOutsideFrames++;
      else paintsThisFrame++;
      if (stats.firstPaintMs === null) {
        stats.firstPaintMs = performance.now();
        // On the screen with the frame after this one at the latest.
        requestAnimationFrame(() => {
          stats.firstShownMs = performance.now();
          document.documentElement.dataset.ready = 'true';
        });
      }
    },
  };

  let currentLines = '';

  // The board's text lines, in the page's font over the picture.
  function drawText(canvas, lines) {
    currentLines = lines;
    const ctx = canvas.getContext('2d');
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.clearRect(0, 0, canvas.width, canvas.height);
    if (lines === '') return;
    ctx.setTransform(scale, 0, 0, scale, 0, 0);
    ctx.font = boardFont();
    ctx.textBaseline = 'alphabetic';
    for (const line of lines.split('\n')) {
      const [x, y, colour, ...rest] = line.split('\t');
      const c = Number(colour);
      ctx.fillStyle = 'rgb(' + (c & 255) + ',' + ((c >> 8) & 255) + ',' + ((c >> 16) & 255) + ')';
      ctx.fillText(rest.join('\t'), Number(x), Number(y) + needs.ascent);
    }
  }

  function publishDescription() {
    description.hold = null;
    // An unchanged text is not news, and starts no hold.
    if (description.pending === description.shown) return;
    description.shown = description.pending;
    byId('opis').textContent = description.shown;
    description.hold = setTimeout(publishDescription, DESCRIPTION_HOLD_MS);
  }

  window.kugView = view;
  window.kugStats = stats;

  // ---- The user's events ----------------------------------------------------

  function wireFields() {
    for (const name of FIELDS) {
      const field = byId(name);
      shownText[name] = field.value;
      field.addEventListener('mousedown', (e) => {
        // The second press of a double-click would select a word.
        if (e.detail > 1) e.preventDefault();
      });
      field.addEventListener('mouseup', (e) => {
        // The browser would place the caret after the click, over the
        // selection the click's handler makes.
        if (e.button === 0) e.preventDefault();
      });
      field.addEventListener('click', (e) => {
        if (e.button === 0) call(name + '_Click');
      });
      field.addEventListener('blur', () => {
        // The browser's window losing the focus, or the About box taking it,
        // leaves the focus with the field as far as the form is concerned.
        if (document.activeElement === field || byId('about').open) return;
        call(name + '_LostFocus');
      });
      field.addEventListener('input', () => {
        // Typing happens in the focused field and is checked on leaving it;
        // text that arrives otherwise (dropped, or set by assistive
        // technology) is checked at once.
        if (document.activeElement === field) return;
        if (field.matches(':disabled')) {
          field.value = shownText[name];
          return;
        }
        shownText[name] = field.value;
        call(name + '_LostFocus');
      });
    }
  }

  function wireButtons() {
    for (const name of BUTTONS) byId(name).addEventListener('click', () => call(name + '_Click'));
    // A box's handler runs on every change of its tick, by mouse, key or
    // assistive technology.
    for (const name of ['brzachk', 'teorijskachk'])
      byId(name).querySelector('input').addEventListener('change', () => call(name + '_Click'));
    // Labels, frames and the bare surface take no focus, as on the desktop: a
    // press there leaves the focus (and a field's unchecked text) where it
    // is. A caption's label does not hand the focus to its field either.
    const windowElement = byId('window');
    windowElement.addEventListener('mousedown', (e) => {
      const t = e.target;
      if (t === windowElement || t.tagName === 'FIELDSET' || t.tagName === 'LEGEND' ||
          t.classList.contains('frame') || t.classList.contains('caption') || t.id === 'gumbi' ||
          t.id === 'grip')
        e.preventDefault();
    });
    // Nor does the title bar: a window manager's buttons leave the focus in
    // the window.
    byId('titlebar').addEventListener('mousedown', (e) => e.preventDefault());
    for (const caption of document.querySelectorAll('.caption'))
      caption.addEventListener('click', (e) => e.preventDefault());
  }

  // What a double-click (or a double tap) does where it lands: in a field,
  // its handlers; on the board, and on the window's bare surface or the page
  // around it, the About box; on the title bar, maximise or restore. Controls,
  // frames and labels keep their double-clicks.
  function doubleClicked(t) {
    if (t.closest('#titlebar')) {
      if (!t.closest('button')) toggleMaximised();
    } else if (FIELDS.includes(t.id)) {
      call(t.id + '_DblClick');
      // On the desktop the release that ends a double-click selects the
      // whole text again, now the bound.
      call(t.id + '_Click');
    } else if (byId('simarea').contains(t)) {
      call('simarea_DblClick');
    } else if (t === byId('window') || t === document.body || t === document.documentElement) {
      call('Form_DblClick');
    }
  }

  function wireBoardAndWindow() {
    // A mouse's double-click is the browser's; a finger's or a pen's is
    // recognised here (wireTouch), so the browser's own is not counted too.
    document.addEventListener('dblclick', (e) => {
      if (e.button === 0 && lastPointer === 'mouse') doubleClicked(e.target);
    });
    const about = byId('about');
    about.addEventListener('close', () => {
      if (aboutReturn && aboutReturn.isConnected) aboutReturn.focus({ preventScroll: true });
      aboutReturn = null;
    });
    wireGrip();
    wireTouch();
    wireTitleBar();
    watchScale();
    window.addEventListener('resize', layout);
    coarseQuery.addEventListener('change', layout);
  }

  // The resize grip at the window's corner: the window's own resize, which
  // runs Form_Resize. The browser's viewport changing is no resize. While
  // it is dragged the window keeps its scale on the page, so the pointer's
  // movement is divided by it.
  function wireGrip() {
    const grip = byId('grip');
    let from = null;
    grip.addEventListener('pointerdown', (e) => {
      if (e.button !== 0 || ended) return;
      e.preventDefault();
      grip.setPointerCapture(e.pointerId);
      from = { x: e.clientX, y: e.clientY, w: inner.w, h: inner.h };
      frameState.dragging = true;
    });
    grip.addEventListener('pointermove', (e) => {
      if (from === null || !started || ended) return;
      Module._kug_resize(Math.round(from.w + (e.clientX - from.x) / frameState.fit),
        Math.round(from.h + (e.clientY - from.y) / frameState.fit));
      requestFrame();
    });
    const done = () => {
      if (from === null) return;
      from = null;
      frameState.dragging = false;
      layout();
    };
    grip.addEventListener('pointerup', done);
    grip.addEventListener('pointercancel', done);
  }

  // A change of the device pixel ratio (another screen, the browser's zoom):
  // the board is kept at the nearest whole ratio. The query tells of a new
  // screen; a zoom also changes the viewport, which is checked too (and is
  // no resize of the window).
  function watchScale() {
    const query = matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)');
    query.addEventListener('change', () => {
      layout();
      watchScale();
    }, { once: true });
  }

  // ---- Touch ----------------------------------------------------------------

  // Two taps this close in time and place are a double-click. iOS does not
  // reliably turn them into one, and a browser that does would count it
  // again, so a finger's and a pen's come from their pointer events alone.
  const DOUBLE_TAP_MS = 300;
  const DOUBLE_TAP_PX = 24;
  // What a finger needs to hit, in CSS pixels of the screen.
  const TOUCH_TARGET = 24;
  let lastPointer = 'mouse';

  function wireTouch() {
    let tap = null;
    document.addEventListener('pointerdown', (e) => { lastPointer = e.pointerType; }, true);
    document.addEventListener('pointerup', (e) => {
      if (e.pointerType === 'mouse' || !e.isPrimary) return;
      const second = tap !== null && e.timeStamp - tap.time <= DOUBLE_TAP_MS &&
        Math.hypot(e.clientX - tap.x, e.clientY - tap.y) <= DOUBLE_TAP_PX;
      tap = second ? null : { time: e.timeStamp, x: e.clientX, y: e.clientY };
      if (second) doubleClicked(e.target);
    }, true);
    // A pan or a pinch is no tap.
    document.addEventListener('pointercancel', () => { tap = null; }, true);
    // A long press opens no menu on the window.
    byId('frame').addEventListener('contextmenu', (e) => {
      if (lastPointer !== 'mouse') e.preventDefault();
    });
  }

  // On a touch screen the grip and the check boxes take more room to hit
  // than they show: a finger's size once scaled, where the layout leaves
  // room, else up to where the next control starts (half way to the next
  // such target). The title bar's buttons grow themselves (barHeight). The
  // layout a mouse sees is the designed one.
  function touchTargets() {
    const boxes = [...document.querySelectorAll('#params .check')];
    const grip = byId('grip');
    for (const box of boxes)
      for (const side of ['top', 'bottom', 'left', 'right']) box.style.removeProperty('--hit-' + side);
    grip.style.width = grip.style.height = '';
    if (!frameState.coarse || ended) return;
    const rect = (e) => e.getBoundingClientRect();
    const others = [...document.querySelectorAll('#window .field, #gumbi button, #simarea')].map(rect);
    const targets = boxes.map(rect);
    const fit = frameState.fit;
    const gripRect = rect(grip);
    const gripRoom = room(gripRect, others, targets);
    grip.style.width = (gripRect.width + Math.min(gripRoom.left, grow(gripRect.width))) / fit + 'px';
    grip.style.height = (gripRect.height + Math.min(gripRoom.top, grow(gripRect.height))) / fit + 'px';
    boxes.forEach((box, i) => {
      const r = targets[i];
      const free = room(r, others.concat([gripRect]), targets.filter((_, j) => j !== i).map(halved(r)));
      for (const [before, after, size] of [['top', 'bottom', r.height], ['left', 'right', r.width]]) {
        const want = grow(size);
        let a = Math.min(want / 2, free[before]);
        const b = Math.min(want - a, free[after]);
        a = Math.min(want - b, free[before]);
        box.style.setProperty('--hit-' + before, a / fit + 'px');
        box.style.setProperty('--hit-' + after, b / fit + 'px');
      }
    });
  }

  function grow(size) {
    return Math.max(0, TOUCH_TARGET - size);
  }

  // Another growing target, seen from `r`, as if it stood half way: the two
  // share the gap between them.
  function halved(r) {
    return (o) => {
      const mid = (a, b) => (a + b) / 2;
      return {
        left: o.left >= r.right ? mid(r.right, o.left) : o.left,
        right: o.right <= r.left ? mid(o.right, r.left) : o.right,
        top: o.top >= r.bottom ? mid(r.bottom, o.top) : o.top,
        bottom: o.bottom <= r.top ? mid(o.bottom, r.top) : o.bottom,
      };
    };
  }

  // How far `r` may grow each way before it meets one of `obstacles`.
  function room(r, ...obstacles) {
    const free = { top: Infinity, bottom: Infinity, left: Infinity, right: Infinity };
    for (const o of obstacles.flat()) {
      const across = o.left < r.right && o.right > r.left;
      const along = o.top < r.bottom && o.bottom > r.top;
      if (across && o.top < r.top) free.top = Math.min(free.top, Math.max(0, r.top - o.bottom));
      if (across && o.bottom > r.bottom) free.bottom = Math.min(free.bottom, Math.max(0, o.top - r.bottom));
      if (along && o.left < r.left) free.left = Math.min(free.left, Math.max(0, r.left - o.right));
      if (along && o.right > r.right) free.right = Math.min(free.right, Math.max(0, o.left - r.right));
    }
    return free;
  }

  // ---- The frame: title bar, maximise, full screen, fit ----------------------

  // The title bar as a mouse sees it, and its padding around the buttons.
  const BAR_HEIGHT = 22;
  const BAR_PADDING = 2;
  // Around a window that neither is maximised nor fills the screen.
  const MARGIN = 12;
  const frameState = { maximised: false, restore: null, fit: 1, dragging: false, coarse: false };
  const coarseQuery = matchMedia('(pointer: coarse)');

  const fullScreen = () => document.fullscreenElement != null;
  const fills = () => frameState.maximised || fullScreen();

  // The title bar's height: `bar` pixels at the window's scale, and `fixed`
  // CSS pixels of the screen at any scale (on a touch screen its buttons
  // keep a finger's size).
  function barParts() {
    return frameState.coarse ? { fixed: TOUCH_TARGET, bar: 2 * BAR_PADDING } : { fixed: 0, bar: BAR_HEIGHT };
  }

  function barHeight(fit) {
    const { fixed, bar } = barParts();
    return fixed / fit + bar;
  }

  // The page's room for the window: the layout viewport (pinch zoom and the
  // on-screen keyboard change only the visual one), without the scroll bars
  // that a window not yet fitted may have brought.
  function viewport() {
    const e = document.documentElement;
    const overflow = e.style.overflow;
    e.style.overflow = 'hidden';
    const margin = fills() ? 0 : 2 * MARGIN;
    const room = { w: e.clientWidth - margin, h: e.clientHeight - margin };
    e.style.overflow = overflow;
    return room;
  }

  // The scale at which a window of inner size w x h, with its borders and
  // title bar, fits into `room`: never above 1.
  function fitFor(w, h, room) {
    const { fixed, bar } = barParts();
    return Math.min(1, room.w / (w + 2), (room.h - fixed) / (h + 2 + bar));
  }

  // The inner size of a window that fills the room, at the scale that fits
  // its minimum size into it.
  function fillSize() {
    const room = viewport();
    const fit = fitFor(Module._kug_minimum(0), Module._kug_minimum(1), room);
    const { fixed, bar } = barParts();
    return { w: Math.floor(room.w / fit) - 2, h: Math.floor((room.h - fixed) / fit) - 2 - bar };
  }

  // Places and scales the frame for the window's size; returns the board's
  // scale. While the grip is dragged the scale stays.
  function fitFrame() {
    frameState.coarse = coarseQuery.matches;
    if (!frameState.dragging) frameState.fit = fitFor(inner.w, inner.h, viewport());
    const fit = frameState.fit;
    const frame = byId('frame');
    const s = frame.style;
    s.left = s.top = (fills() ? 0 : MARGIN) + 'px';
    s.transform = fit < 1 ? 'scale(' + fit + ')' : '';
    s.setProperty('--bar', barHeight(fit) + 'px');
    s.setProperty('--touch', TOUCH_TARGET / fit + 'px');
    frame.classList.toggle('coarse', frameState.coarse);
    frame.classList.toggle('maximised', frameState.maximised);
    frame.classList.toggle('fullscreen', fullScreen());
    return wholeScale();
  }

  // After a change of the viewport, the pointer or the frame's state: a
  // window that fills the room follows it, each change a Form_Resize; any
  // other only scales to fit.
  function layout() {
    if (!started || ended) return;
    if (fills() && !frameState.dragging) {
      const size = fillSize();
      if (size.w !== inner.w || size.h !== inner.h) {
        Module._kug_resize(size.w, size.h);
        requestFrame();
      }
    }
    const next = fitFrame();
    if (next !== scale) {
      scale = next;
      Module._kug_set_scale(scale);
      drawText(byId('boardtext'), currentLines);
      requestFrame();
    }
    touchTargets();
  }

  // The earlier size, when the window neither is maximised nor fills the
  // screen any more: a resize like any other.
  function restoreSize() {
    const size = frameState.restore;
    frameState.restore = null;
    if (size && !fills()) {
      Module._kug_resize(size.w, size.h);
      requestFrame();
    }
  }

  function toggleMaximised() {
    if (!started || ended || fullScreen()) return;
    frameState.maximised = !frameState.maximised;
    if (frameState.maximised) frameState.restore = { ...inner };
    else restoreSize();
    showFrameState();
    layout();
  }

  function showFrameState() {
    const max = byId('maximise');
    max.setAttribute('aria-label', frameState.maximised ? 'Vrati' : 'Maksimiziraj');
    max.disabled = fullScreen();
    byId('fullscreen').setAttribute('aria-pressed', String(fullScreen()));
  }

  function wireTitleBar() {
    byId('maximise').addEventListener('click', toggleMaximised);
    const full = byId('fullscreen');
    // An iPhone shows no page full screen.
    full.hidden = !document.fullscreenEnabled;
    full.addEventListener('click', () => {
      if (ended) return;
      if (fullScreen()) {
        document.exitFullscreen().catch(() => {});
      } else {
        if (!frameState.maximised) frameState.restore = { ...inner };
        document.documentElement.requestFullscreen().catch(() => {});
      }
    });
    document.addEventListener('fullscreenchange', () => {
      if (!fullScreen() && !frameState.maximised) restoreSize();
      showFrameState();
      layout();
    });
  }

  // No WebAssembly, or it would not start: the page says so, as it does
  // without script.
  function unavailable() {
    ended = true;
    byId('frame').hidden = true;
    byId('unavailable').hidden = false;
  }

  // Ticks and the user's events in their order in time: the ticks due by an
  // event's moment run as it arrives, before it reaches its target or the
  // browser acts on it (a focus moved, a disabled button passed over). The
  // handlers it leads to run none of their own.
  function watchEventOrder() {
    const due = () => {
      if (started && !ended) Module._kug_events_due();
    };
    // (A maximised or full-screen window's resize comes from the browser's
    // resize and fullscreenchange events: they count too.)
    for (const type of ['pointerdown', 'pointermove', 'pointerup', 'keydown', 'keyup', 'click',
      'input', 'blur', 'focusout', 'resize', 'fullscreenchange'])
      window.addEventListener(type, due, true);
  }

  function start() {
    stats.startMs = performance.now();
    measure();
    scale = wholeScale();
    watchEventOrder();
    wireFields();
    wireButtons();
    wireBoardAndWindow();
    started = true;
    paintsThisFrame = -1;
    Module._kug_start(scale);
    requestFrame();
  }

  window.Module = { onRuntimeInitialized: start, onAbort: unavailable };
})();
