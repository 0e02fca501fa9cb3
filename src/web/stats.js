// SPDX-License-Identifier: GPL-3.0-or-later
// The figures the tests and the benchmarks read (kugStats): the animation
// frames, the paints and how many fell in one frame or outside any, the
// ticks run, the board's line as measured, and the moments of start-up, of
// the first paint and of its showing on the screen. The page is ready
// (data-ready on the document) once the first paint is shown.

const stats = {
  frames: 0,
  paints: 0,
  maxPaintsPerFrame: 0,
  paintsOutsideFrames: 0,
  startMs: null,
  firstPaintMs: null,
  firstShownMs: null,
  ticks: () => (page.started ? Module._kug_ticks() : 0),
  boardFont: () => page.boardFont,
};
window.kugStats = stats;

function frameBegins() {
  stats.frames++;
  page.paintsThisFrame = 0;
}

function frameEnds() {
  stats.maxPaintsPerFrame = Math.max(stats.maxPaintsPerFrame, page.paintsThisFrame);
  page.paintsThisFrame = -1;
}

function countPaint() {
  stats.paints++;
  if (page.paintsThisFrame < 0)
    stats.paintsOutsideFrames++;
  else
    page.paintsThisFrame++;
  if (stats.firstPaintMs !== null) return;
  stats.firstPaintMs = performance.now();
  // On the screen with the frame after this one at the latest.
  requestAnimationFrame(() => {
    stats.firstShownMs = performance.now();
    document.documentElement.dataset.ready = 'true';
  });
}
