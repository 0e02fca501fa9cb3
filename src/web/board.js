// SPDX-License-Identifier: GPL-3.0-or-later
// The board: its picture, copied from the form's pixel buffer a changed
// rectangle at a time; its text lines, drawn in the page's font over it; and
// its description in words for assistive technology.

// A line of the board's text in the page's font: its height, where its
// baseline stands below its top, and the font.
function measureBoardFont() {
  const style = getComputedStyle(document.body);
  const font = style.fontSize + ' ' + style.fontFamily;
  const probe = document.createElement('canvas').getContext('2d');
  probe.font = font;
  const m = probe.measureText('Još 250 kuglica.');
  const box = 'fontBoundingBoxAscent' in m
                  ? fontBox(m.fontBoundingBoxAscent, m.fontBoundingBoxDescent)
                  : laidOutFont();
  page.boardFont = {...box, font};
}

function fontBox(ascent, descent) {
  return {lineHeight: Math.ceil(ascent + descent), ascent};
}

// The same from the page's layout, where a canvas measures no font bounding
// box (Firefox before 116): an inline box of the font is as high as its
// ascent and descent, and an empty inline-block stands on its baseline.
// Firefox lays the ascent out rounded up to a device pixel, and gives it to
// a canvas rounded up to a whole pixel: so it is rounded up here too.
function laidOutFont() {
  const probe = document.createElement('div');
  probe.style.cssText = 'position: absolute; visibility: hidden';
  probe.innerHTML = '<span>Još<span style="display: inline-block"></span></span>';
  document.body.append(probe);
  const line = probe.firstChild.getBoundingClientRect();
  const baseline = probe.firstChild.lastChild.getBoundingClientRect().top;
  probe.remove();
  return fontBox(Math.ceil(baseline - line.top), line.bottom - baseline);
}

// One paint: the rectangles `rects` (x, y, width, height each) of the
// board's picture (an ImageData of the canvas's size), and the text lines
// when they changed (else null).
function paintBoard(picture, rects, lines) {
  const board = byId('board');
  const text = byId('boardtext');
  if (board.width !== picture.width || board.height !== picture.height) {
    board.width = text.width = picture.width;
    board.height = text.height = picture.height;
    lines = lines === null ? page.boardLines : lines;
  }
  const ctx = board.getContext('2d');
  for (let i = 0; i < rects.length; i += 4)
    ctx.putImageData(picture, 0, 0, rects[i], rects[i + 1], rects[i + 2], rects[i + 3]);
  if (lines !== null) drawText(lines);
  countPaint();
}

// The board's text lines, one below the other from its top, in black; of
// the lines drawn before only their rows (and one more) are cleared.
function drawText(lines) {
  const canvas = byId('boardtext');
  const ctx = canvas.getContext('2d');
  const {lineHeight, ascent, font} = page.boardFont;
  ctx.setTransform(page.scale, 0, 0, page.scale, 0, 0);
  ctx.clearRect(0, 0, canvas.width, (page.boardLines.split('\n').length + 1) * lineHeight);
  ctx.font = font;
  page.boardLines = lines;
  if (lines !== '')
    lines.split('\n').forEach((line, i) => ctx.fillText(line, 0, i * lineHeight + ascent));
}

// The lines again at the board's new scale.
function redrawBoardText() {
  drawText(page.boardLines);
}

// The description the form publishes; it holds back the next one for
// `holdMs`, after which the form may publish the last it was given
// meanwhile.
function describe(text, holdMs) {
  byId('opis').textContent = text;
  clearTimeout(page.descriptionHold);
  page.descriptionHold = setTimeout(() => {
    page.descriptionHold = null;
    if (!page.ended) Module._kug_description_released();
  }, holdMs);
}
