// SPDX-License-Identifier: GPL-3.0-or-later
// The reviewed uses above the floor (check.js): each is guarded and has a
// fallback, or is not the feature MDN names, and says why. A name listed
// here is passed over wherever it is used, so review every new use of it;
// a name no use needs any more fails the check until it is taken out.
module.exports = {
  scripts: {
    // Safari before 16.4 has full screen only under webkit names. view.js
    // shows the full-screen button only where document.fullscreenEnabled is
    // true, so there, as on an iPhone, the button is left out; the other
    // uses stand behind it (fullscreenElement undefined reads as not full
    // screen, exitFullscreen runs only when fullscreenElement is set, and the
    // event never comes).
    fullscreenEnabled: 'guards the full-screen button',
    fullscreenElement: 'undefined: not full screen',
    requestFullscreen: 'behind the full-screen button',
    exitFullscreen: 'behind fullscreenElement and the button',
    fullscreenchange_event: 'never comes without full screen',
    // iOS fires no contextmenu for a long press; the style sheet's
    // -webkit-touch-callout: none keeps its menu away there.
    contextmenu_event: 'a listener that is not called there',
    // emscripten's loader: its own Module.run and the optional
    // Module.setStatus hook (called only if the page gives one), not the
    // Shared Storage and FedCM members of those names.
    run: "the loader's own function",
    setStatus: "the loader's optional hook",
    // Firefox before 116 measures no font bounding box on a canvas. view.js
    // reads it only where the text's metrics have it, and measures the
    // board's line by the page's layout elsewhere, to the same line height
    // and baseline (the file test compares the two in each engine).
    fontBoundingBoxAscent: "only where TextMetrics has it; else the page's layout",
    fontBoundingBoxDescent: 'beside fontBoundingBoxAscent',
  },
  style: {
    // Only mobile browsers enlarge text on their own; desktop Safari and
    // Firefox have nothing to turn off, iOS takes the -webkit- name.
    '-webkit-text-size-adjust': 'mobile browsers only',
    // iOS's long-press menu; the others have none (or contextmenu, which
    // view.js prevents for a finger).
    '-webkit-touch-callout': 'iOS only',
    // iOS shows no pointer.
    'cursor: nwse-resize': 'no pointer on iOS',
  },
};
