// SPDX-License-Identifier: GPL-3.0-or-later
// The page's view of Kuglovica's form is written in parts by job, joined in
// the order src/web/CMakeLists.txt lists them into one closure (view.js in
// the page). This first part holds what they share: the page's one state,
// and the way they find the window's controls.
//
// The form runs as WebAssembly inside emscripten's loader (kuglovica.js); it
// changes the controls through the view (bridge.js), and the page hands it
// the user's events (input.js). Every control is an element of the markup
// written from the form's table of controls (controls_markup.cpp): its
// designed name as id, its number as data-control, first its kind's class.

const page = {
  // The form has started; it has ended (the exit button) or cannot run.
  started: false,
  ended: false,
  // Device pixels per pixel of the board; the window's inner size.
  scale: 1,
  inner: {w: 0, h: 0},
  // The form's numbers of the user's events, by name.
  events: new Map(),
  // An animation frame asked for; the paints in this one (-1 outside any).
  frameRequested: false,
  paintsThisFrame: -1,
  // Each field's text as last shown, for a disabled field.
  shownText: new Map(),
  // Where the focus goes back after the About box.
  aboutReturn: null,
  // The kind of the last pointer pressed.
  lastPointer: 'mouse',
  // The board's text: its line height, baseline and font, its lines as last
  // drawn; the timer of its description's hold.
  boardFont: {lineHeight: 0, ascent: 0, font: ''},
  boardLines: '',
  descriptionHold: null,
  // The window frame: maximised, the size to restore, the scale that fits
  // it into the viewport, a drag of the grip, a coarse (touch) pointer; the
  // page has been in an app's window.
  maximised: false,
  restore: null,
  fit: 1,
  dragging: false,
  coarse: false,
  app: false,
};

const byId = (id) => document.getElementById(id);

// The element of the control numbered `control`, found once (the form reads
// the check boxes at every tick).
const controlElements = [];
function controlElement(control) {
  return controlElements[control] ||= document.querySelector('[data-control="' + control + '"]');
}

// The number of the control that `element` is or stands in; -1 for none.
function controlOf(element) {
  const e = element.closest('[data-control]');
  return e ? Number(e.dataset.control) : -1;
}

// Each kind of control by its class: how it hands the form its events, what
// of its caption the frames' fit measures ([width, height]), no focus, its
// box what is disabled, greyed by the class "disabled" (as in the markup),
// grown to a finger's size on a touch screen.
const kinds = {
  group: {noFocus: true},
  picture: {wire: (e, c) => e.addEventListener('click', () => send(c, 'Click')), grows: true},
  area: {},
  // A box's click runs on every change of its tick, by mouse, key or
  // assistive technology.
  check: {
    wire: (e, c) => focusTaker(c).addEventListener('change', () => send(c, 'Click')),
    need: [1, 1],
    box: true,
    greyed: true,
    grows: true,
  },
  field: {wire: wireField, need: [0, 1], reselect: true},
  // A caption's label does not hand the focus to its field.
  caption: {
    wire: (e) => e.addEventListener('click', (event) => event.preventDefault()),
    need: [1, 1],
    greyed: true,
    noFocus: true,
  },
};

// A control's element's kind, by its first class (none: start-up fails).
const kindOf = (e) => kinds[e.classList[0]];

// The controls' elements whose kind `pick` picks.
function controlsWhere(pick) {
  return [...document.querySelectorAll('#window [data-control]')].filter((e) => pick(kindOf(e)));
}

// A size the style sheet gives, in CSS pixels.
function cssSize(name) {
  return parseFloat(getComputedStyle(document.documentElement).getPropertyValue(name));
}

// What takes the focus for a control: the element with its tab index (a
// check box's box, the board's canvas), else the element itself.
function focusTaker(control) {
  const e = controlElement(control);
  return e.hasAttribute('tabindex') ? e : e.querySelector('[tabindex]') || e;
}
