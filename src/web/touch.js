// SPDX-License-Identifier: GPL-3.0-or-later
// Touch: double taps, and targets a finger can hit.

// Two taps this close in time and place are a double-click. iOS does not
// reliably turn them into one, and a browser that does would count it again,
// so a finger's and a pen's come from their pointer events alone.
const DOUBLE_TAP_MS = 300;
const DOUBLE_TAP_PX = 24;
// What a finger needs to hit, in CSS pixels of the screen.
const TOUCH_TARGET = cssSize('--touch-target');

function wireTouch() {
  let tap = null;
  document.addEventListener('pointerdown', (e) => { page.lastPointer = e.pointerType; }, true);
  document.addEventListener('pointerup', (e) => {
    if (e.pointerType === 'mouse' || !e.isPrimary) return;
    const second = tap !== null && e.timeStamp - tap.time <= DOUBLE_TAP_MS &&
                   Math.hypot(e.clientX - tap.x, e.clientY - tap.y) <= DOUBLE_TAP_PX;
    tap = second ? null : {time: e.timeStamp, x: e.clientX, y: e.clientY};
    if (second) doubleClicked(e.target);
  }, true);
  // A pan or a pinch is no tap.
  document.addEventListener('pointercancel', () => { tap = null; }, true);
  // A long press opens no menu on the window.
  byId('frame').addEventListener('contextmenu', (e) => {
    if (page.lastPointer !== 'mouse') e.preventDefault();
  });
  // A button enabled or disabled changes its neighbours' room.
  new MutationObserver(touchTargets)
      .observe(byId('window'), {subtree: true, attributeFilter: ['disabled']});
}

// On a touch screen the grip, the check boxes and the enabled picture
// buttons take more room to hit than they show: a finger's size once scaled,
// where the layout leaves room, else up to where the next control starts
// (half way to the next such target). The title bar's buttons grow
// themselves (frameParts). The layout a mouse sees is the designed one.
function touchTargets() {
  if (page.ended) return; // the window is gone
  const all = controlsWhere((kind) => kind.grows);
  const boxes = all.filter((e) => !e.disabled); // a disabled button takes no finger
  const grip = byId('grip');
  for (const box of all)
    for (const side of ['top', 'bottom', 'left', 'right'])
      box.style.removeProperty('--hit-' + side);
  grip.style.width = grip.style.height = '';
  if (!page.coarse) return;
  const rect = (e) => e.getBoundingClientRect();
  const others = controlsWhere((kind) => !kind.noFocus && !kind.grows);
  const obstacles = others.map(rect);
  const targets = boxes.map(rect);
  const fit = page.fit;
  const gripRect = rect(grip);
  const gripRoom = room(gripRect, obstacles, targets);
  grip.style.width = (gripRect.width + Math.min(gripRoom.left, grow(gripRect.width))) / fit + 'px';
  grip.style.height =
      (gripRect.height + Math.min(gripRoom.top, grow(gripRect.height))) / fit + 'px';
  boxes.forEach((box, i) => {
    const r = targets[i];
    const free =
        room(r, obstacles.concat([gripRect]), targets.filter((_, j) => j !== i).map(halved(r)));
    for (const [before, after, size] of [['top', 'bottom', r.height], ['left', 'right', r.width]]) {
      const want = grow(size);
      let a = Math.min(want / 2, free[before]);
      const b = Math.min(want - a, free[after]);
      a = Math.min(want - b, free[before]);
      box.style.setProperty('--hit-' + before, whole(a / fit, free[before] / fit) + 'px');
      box.style.setProperty('--hit-' + after, whole(b / fit, free[after] / fit) + 'px');
    }
  });
}

// A growth in whole pixels, as a button's border is drawn, within the room.
function whole(x, most) {
  return Math.min(Math.ceil(x), Math.max(x, Math.floor(most)));
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
  const free = {top: Infinity, bottom: Infinity, left: Infinity, right: Infinity};
  for (const o of obstacles.flat()) {
    const across = o.left < r.right && o.right > r.left;
    const along = o.top < r.bottom && o.bottom > r.top;
    if (across && o.top < r.top) free.top = Math.min(free.top, Math.max(0, r.top - o.bottom));
    if (across && o.bottom > r.bottom)
      free.bottom = Math.min(free.bottom, Math.max(0, o.top - r.bottom));
    if (along && o.left < r.left) free.left = Math.min(free.left, Math.max(0, r.left - o.right));
    if (along && o.right > r.right)
      free.right = Math.min(free.right, Math.max(0, o.left - r.right));
  }
  return free;
}
