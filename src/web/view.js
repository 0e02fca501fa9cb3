// SPDX-License-Identifier: GPL-3.0-or-later
// The page's view of Kuglovica's form. The form itself runs as WebAssembly
// (kuglovica.js and kuglovica.wasm); it calls the functions of kugView below
// to change the controls, and the page calls its handlers, exported as
// Module._kug_<handler>, for the user's events. Animation frames drive the
// timers and paint the board once each.
'use strict';

(function () {
  // The controls in the order of the form's Control numbers.
  const CONTROLS = ['params', 'gumbi', 'simarea', 'startcmd', 'stopcmd', 'fullstopcmd', 'exitcmd',
    'stupcitxt', 'kuglicetxt', 'brzinatxt', 'brzachk', 'petljachk', 'tragchk', 'teorijskachk',
    'Check1', 'stupcilbl', 'kuglicelbl', 'brzinalbl'];
  const FIELDS = ['stupcitxt', 'kuglicetxt', 'brzinatxt'];
  const BUTTONS = ['startcmd', 'stopcmd', 'fullstopcmd', 'exitcmd'];
  const PICTURES = { startcmd: 'play', stopcmd: 'pause', fullstopcmd: 'stop', exitcmd: 'exit' };
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
  let scale = 1;
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

  function wholeScale() {
    return Math.max(1, Math.round(window.devicePixelRatio || 1));
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
      if (PICTURES[name] && name !== 'exitcmd') {
        const picture = 'pictures/' + PICTURES[name] + (on ? '' : '_disabled');
        const img = e.querySelector('img');
        img.src = picture + '.png';
        img.srcset = picture + '.png 1x, ' + picture + '@2x.png 2x';
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
    resizeInner(w, h) {
      const s = byId('window').style;
      s.width = w + 'px';
      s.height = h + 'px';
    },
    setTitle(title) {
      document.title = title;
      byId('window').setAttribute('aria-label', title);
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
      field.addEventListener('dblclick', (e) => {
        if (e.button !== 0) return;
        call(name + '_DblClick');
        // On the desktop the release that ends a double-click selects the
        // whole text again, now the bound.
        call(name + '_Click');
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
    for (const caption of document.querySelectorAll('.caption'))
      caption.addEventListener('click', (e) => e.preventDefault());
  }

  function wireBoardAndWindow() {
    byId('simarea').addEventListener('dblclick', (e) => {
      if (e.button === 0) call('simarea_DblClick');
    });
    // The window's bare surface, and the page's around it, open the About
    // box; controls, frames and labels keep their double-clicks.
    document.addEventListener('dblclick', (e) => {
      const t = e.target;
      if (e.button === 0 && (t === byId('window') || t === document.body || t === document.documentElement))
        call('Form_DblClick');
    });
    const about = byId('about');
    about.addEventListener('close', () => {
      if (aboutReturn && aboutReturn.isConnected) aboutReturn.focus({ preventScroll: true });
      aboutReturn = null;
    });
    wireGrip();
    watchScale();
    window.addEventListener('resize', scaleChanged);
  }

  // The resize grip at the window's corner: the window's own resize, which
  // runs Form_Resize. The browser's viewport changing is no resize.
  function wireGrip() {
    const grip = byId('grip');
    const windowElement = byId('window');
    let from = null;
    grip.addEventListener('pointerdown', (e) => {
      if (e.button !== 0 || ended) return;
      e.preventDefault();
      grip.setPointerCapture(e.pointerId);
      from = { x: e.clientX, y: e.clientY, w: windowElement.clientWidth, h: windowElement.clientHeight };
    });
    grip.addEventListener('pointermove', (e) => {
      if (from === null || !started || ended) return;
      Module._kug_resize(Math.round(from.w + e.clientX - from.x), Math.round(from.h + e.clientY - from.y));
      requestFrame();
    });
    const done = () => { from = null; };
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
      scaleChanged();
      watchScale();
    }, { once: true });
  }

  function scaleChanged() {
    const next = wholeScale();
    if (ended || next === scale) return;
    scale = next;
    Module._kug_set_scale(scale);
    drawText(byId('boardtext'), currentLines);
    requestFrame();
  }

  // Ticks and the user's events in their order in time: the ticks due by an
  // event's moment run as it arrives, before it reaches its target or the
  // browser acts on it (a focus moved, a disabled button passed over). The
  // handlers it leads to run none of their own.
  function watchEventOrder() {
    const due = () => {
      if (started && !ended) Module._kug_events_due();
    };
    for (const type of ['pointerdown', 'pointermove', 'pointerup', 'keydown', 'keyup', 'click',
      'input', 'blur', 'focusout'])
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

  window.Module = { onRuntimeInitialized: start };
})();
