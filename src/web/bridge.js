// SPDX-License-Identifier: GPL-3.0-or-later
// The bridge to the form: the view it calls (kugView, through
// view_library.js and js_view.h), and the one way the page hands it a
// user's event (Module._kug_event).

// A user's event on `control` (-1: the window's bare surface), by the name of
// the form's event. Returns whether the form handles it.
function send(control, event) {
  if (!page.started || page.ended) return false;
  const number = page.events.get(event);
  // A name the form does not know would reach it as 0, a Click.
  if (number === undefined) throw new Error('no event ' + event);
  const handled = Module._kug_event(control, number) !== 0;
  requestFrame();
  return handled;
}

// What a control's caption (or a field's text) needs in the page's font: its
// natural size, as the control takes it unplaced.
function captionNeed(control) {
  const e = controlElement(control);
  const need = kindOf(e).need;
  if (!need) return [0, 0];
  const s = e.style;
  const placed = [s.width, s.height];
  s.width = s.height = '';
  const r = e.getBoundingClientRect();
  [s.width, s.height] = placed;
  return [need[0] * Math.ceil(r.width), need[1] * Math.ceil(r.height)];
}

// Where a frame's contents start: below its caption, if it shows one.
function contentsTop(frame) {
  const legend = controlElement(frame).querySelector('legend');
  return legend ? Math.ceil(legend.getBoundingClientRect().height) : 0;
}

function setEnabled(control, on) {
  const e = controlElement(control);
  const kind = kindOf(e);
  // (A button's picture follows its state in the style sheet; a fieldset
  // disables what it holds.)
  const t = kind.box ? focusTaker(control) : e;
  if ('disabled' in t)
    t.disabled = !on;
  else
    t.setAttribute('aria-disabled', String(!on));
  if (kind.greyed) e.classList.toggle('disabled', !on);
}

function place(control, x, y, w, h) {
  const s = controlElement(control).style;
  s.left = x + 'px';
  s.top = y + 'px';
  s.width = w + 'px';
  s.height = h + 'px';
}

function setText(field, text) {
  controlElement(field).value = text;
  page.shownText.set(field, text);
}

function showAbout(title, text) {
  const box = byId('about');
  if (box.open) return;
  byId('about-title').textContent = title;
  byId('about-text').textContent = text.split('\r\n').join('\n');
  page.aboutReturn = document.activeElement;
  box.showModal();
}

// The focus goes back where it was when the About box opened.
function wireAbout() {
  byId('about').addEventListener('close', () => {
    if (page.aboutReturn && page.aboutReturn.isConnected)
      page.aboutReturn.focus({preventScroll: true});
    page.aboutReturn = null;
  });
}

function quit() {
  page.ended = true;
  clearTimeout(page.descriptionHold);
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
}

window.kugView = {
  nameEvent(event, name) {
    page.events.set(name, event);
  },
  setEnabled,
  holdsFocus(control) {
    const active = document.activeElement;
    return active !== null && active !== document.body && controlElement(control).contains(active);
  },
  setFocus(control) {
    focusTaker(control).focus({preventScroll: true});
  },
  place,
  text(field) {
    return controlElement(field).value;
  },
  setText,
  selectAll(field) {
    controlElement(field).select();
  },
  isChecked(box) {
    const input = focusTaker(box);
    return input.checked && !input.indeterminate;
  },
  setChecked(box, on) {
    focusTaker(box).checked = on;
  },
  captionNeed,
  contentsTop,
  resizeInner: resizeWindow, // window_frame.js
  setTitle(title) {
    document.title = title;
    byId('window').setAttribute('aria-label', title);
    byId('caption').textContent = title;
  },
  describeBoard: describe, // board.js
  showAbout,
  quit,
  paint: paintBoard, // board.js
};
