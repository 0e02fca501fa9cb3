// SPDX-License-Identifier: GPL-3.0-or-later
// The web app's service worker: it keeps the app's own files (the page, its
// manifest, its icons) so that a page visited once, or installed, opens
// again without a network, and it touches no other request. The page is
// asked of the network first, so that a new version shows on the next visit
// online; the rest comes from the cache. The build fills in the files and
// the hash of their content (scripts/app_folder.py): a new version is a new
// cache, and activating it deletes the one before, so one cache is left.
'use strict';

// The caches of this app at this place: other apps on the same host, and
// Kuglovica under another path, keep theirs.
const PREFIX = 'kuglovica ' + self.registration.scope + ' ';
const CACHE = PREFIX + '@CONTENT_HASH@';
const PAGE = 'index.html';
const FILES = ['@FILES@'];
// The folder's own address serves the page too (the start URL).
const FOLDER = new URL('./', self.location).href;
const PAGE_URL = new URL(PAGE, self.location).href;
const OURS = new Set(FILES.map((file) => new URL(file, self.location).href).concat(FOLDER));

self.addEventListener('install', (event) => {
  // Past the browser's HTTP cache: the files as the server has them now.
  // The page is stored a second time as the folder, which a server need not
  // map to index.html.
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    await cache.addAll(FILES.map((file) => new Request(file, {cache: 'reload'})));
    await cache.put(FOLDER, await cache.match(PAGE));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(PREFIX) && name !== CACHE) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

// The page from the network while it answers, else as kept; the other files
// as kept. (A query changes none of the app's files.)
async function answer(request, url) {
  const cache = await caches.open(CACHE);
  if (url !== FOLDER && url !== PAGE_URL) return (await cache.match(url)) || fetch(request);
  try {
    const response = await fetch(request);
    return response.ok ? response : (await cache.match(url)) || response;
  } catch (offline) {
    const page = await cache.match(url);
    if (page) return page;
    throw offline;
  }
}

self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  url.search = '';
  url.hash = '';
  if (event.request.method === 'GET' && OURS.has(url.href))
    event.respondWith(answer(event.request, url.href));
});
