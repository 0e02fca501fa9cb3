// SPDX-License-Identifier: GPL-3.0-or-later
// The page's bare square: the least a page pays to move a small picture once
// a frame, the yardstick of the page's processor figures (bench/web_bench.py).
// From each animation frame, two 16 x 16 putImageData calls on the canvas's
// default 2D context: the old square erased, the new one drawn. The same
// square moves on the bare page (bare_square.html, a canvas of the board's
// size) and on the page's own markup with nothing else running (the
// benchmark's second reference).
//
// It counts what the benchmark reads of the page (kugStats): the frames and
// the paints; no ticks. The page is ready once the first square is drawn.

(function () {
  'use strict';
  // FIXED: these are the yardstick, the same as the desktop's
  // (bench/bare_square.cpp). Changing any of them changes what every ratio
  // means; whoever changes one must measure the "before" figures again.
  const SIDE = 16;  // pixels
  const STEP = 4;   // pixels to the right a frame; the squares overlap
  const GROUND = [255, 255, 255, 255];  // erased to white
  const SQUARE = [255, 0, 0, 255];      // drawn in red

  function filled(ctx, rgba) {
    const d = ctx.createImageData(SIDE, SIDE);
    for (let i = 0; i < d.data.length; i += 4) d.data.set(rgba, i);
    return d;
  }

  window.kugBareSquare = function (canvas) {
    const ctx = canvas.getContext('2d');
    const erase = filled(ctx, GROUND), draw = filled(ctx, SQUARE);
    const stats = {frames: 0, paints: 0, maxPaintsPerFrame: 1, paintsOutsideFrames: 0,
                   ticks: () => 0};
    window.kugStats = stats;
    delete document.documentElement.dataset.ready;
    ctx.fillStyle = '#fff';
    ctx.fillRect(0, 0, canvas.width, canvas.height);
    let x = 0, y = 0;
    function frame() {
      ctx.putImageData(erase, x, y);
      x += STEP;
      if (x + SIDE > canvas.width) {
        x = 0;
        y += SIDE;
      }
      if (y + SIDE > canvas.height) y = 0;
      ctx.putImageData(draw, x, y);
      stats.frames++;
      stats.paints++;
      if (stats.frames === 1) document.documentElement.dataset.ready = 'true';
      requestAnimationFrame(frame);
    }
    requestAnimationFrame(frame);
  };
})();
