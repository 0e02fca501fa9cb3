// SPDX-License-Identifier: GPL-3.0-or-later
// Served by a web server from the app's folder (build/web/app), the page is
// an app that can be installed and opens without a network: its service
// worker and, once the worker is there, the manifest and the touch icon.
// Opened from disk (file://) it does nothing: such a page fetches nothing.
// The page alone on a server, without its folder, costs one request that
// finds no worker, and stays a page.
'use strict';

(function() {
if ((location.protocol !== 'http:' && location.protocol !== 'https:') ||
    !('serviceWorker' in navigator))
  return;
const link = (rel, href) => {
  const element = document.createElement('link');
  element.rel = rel;
  element.href = href;
  document.head.appendChild(element);
};
// After the page's own start, which needs the processor more.
window.addEventListener('load', () => {
  navigator.serviceWorker.register('service_worker.js').then(() => {
    link('manifest', 'manifest.webmanifest');
    link('apple-touch-icon', 'apple-touch-icon.png');
  }, () => {});
});
})();
