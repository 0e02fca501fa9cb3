// SPDX-License-Identifier: GPL-3.0-or-later
// The user's events and the timers' ticks in their order in time. Animation
// frames drive the form's clock and paint the board once each; an event runs
// the ticks due by its moment as it arrives, before it reaches its target.
// Each kind of control hands the form its events (send, bridge.js).

function requestFrame() {
  if (page.frameRequested || page.ended || !page.started) return;
  page.frameRequested = true;
  requestAnimationFrame(frame);
}

function frame(time) {
  page.frameRequested = false;
  if (page.ended) return;
  frameBegins();
  const more = Module._kug_frame(time);
  frameEnds();
  if (more) requestFrame();
}

// The ticks due by an event's moment run as it arrives, in the capture
// phase, before the browser acts on it (a focus moved, a disabled button
// passed over). The handlers it leads to run none of their own.
function watchEventOrder() {
  const due = () => {
    if (page.started && !page.ended) Module._kug_events_due();
  };
  // (A maximised or full-screen window's resize comes from the browser's
  // resize and fullscreenchange events: they count too.)
  for (const type of ['pointerdown', 'pointermove', 'pointerup', 'keydown', 'keyup', 'click',
                      'input', 'blur', 'focusout', 'resize', 'fullscreenchange'])
    window.addEventListener(type, due, true);
}

function wireField(field, control) {
  page.shownText.set(control, field.value);
  field.addEventListener('mousedown', (e) => {
    // The second press of a double-click would select a word.
    if (e.detail > 1) e.preventDefault();
  });
  field.addEventListener('mouseup', (e) => {
    // The browser would place the caret after the click, over the selection
    // the click's handler makes.
    if (e.button === 0) e.preventDefault();
  });
  field.addEventListener('click', (e) => {
    if (e.button === 0) send(control, 'Click');
  });
  field.addEventListener('blur', () => {
    // The browser's window losing the focus, or the About box taking it,
    // leaves the focus with the field as far as the form is concerned.
    if (document.activeElement === field || byId('about').open) return;
    send(control, 'LostFocus');
  });
  field.addEventListener('input', () => {
    // Typing happens in the focused field and is checked on leaving it; text
    // that arrives otherwise (dropped, or set by assistive technology) is
    // checked at once.
    if (document.activeElement === field) return;
    if (field.matches(':disabled')) {
      field.value = page.shownText.get(control);
      return;
    }
    page.shownText.set(control, field.value);
    send(control, 'LostFocus');
  });
}

// Each kind's events (kinds, page_state.js).
function wireControls() {
  for (const e of controlsWhere((kind) => kind.wire))
    kindOf(e).wire(e, Number(e.dataset.control));
  // Labels, frames and the bare surface take no focus, as on the desktop: a
  // press there leaves the focus (and a field's unchecked text) where it is.
  byId('window').addEventListener('mousedown', (e) => {
    const control = controlOf(e.target);
    if (control < 0 || kindOf(controlElement(control)).noFocus) e.preventDefault();
  });
  // Nor does the title bar: a window manager's buttons leave the focus in the
  // window.
  byId('titlebar').addEventListener('mousedown', (e) => e.preventDefault());
  // A mouse's double-click is the browser's; a finger's or a pen's is
  // recognised from taps (touch.js), so the browser's own is not counted too.
  document.addEventListener('dblclick', (e) => {
    if (e.button === 0 && page.lastPointer === 'mouse') doubleClicked(e.target);
  });
}

// What a double-click (or a double tap) does where it lands: on a control,
// what the form makes of it; on the window's bare surface or the page around
// it, the form's too; on the title bar, maximise or restore.
function doubleClicked(t) {
  if (t.closest('#titlebar')) {
    if (!t.closest('button')) toggleMaximised();
  } else if (byId('window').contains(t) && controlOf(t) >= 0) {
    const control = controlOf(t);
    // On the desktop the release that ends a field's double-click selects
    // the whole text again.
    if (send(control, 'DblClick') && kindOf(controlElement(control)).reselect)
      send(control, 'Click');
  } else if (t === byId('window') || t === document.body || t === document.documentElement) {
    send(-1, 'DblClick');
  }
}
