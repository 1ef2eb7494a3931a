// Keeps the site's files, so that the page reloads and starts with no
// network. The build puts a digest of the files in the cache's name: a new
// build fills a cache of its own, and the old one goes.
const cacheName = "tinkerspindle-@SITE_VERSION@";
const files = ["./", "tinkerspindle.js", "tinkerspindle.wasm",
               "manifest.webmanifest", "icon.svg"];

// Asked of the server afresh, never taken from the browser's cache unchecked:
// a copy kept from an earlier build must not slip into this one's.
self.addEventListener("install", (event) => {
  const requests = files.map((file) => new Request(file, {cache: "no-cache"}));
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(requests))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== cacheName)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The kept copy first (the page is kept once, as "./"); the network for
// anything else.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  const page = new URL(event.request.url).pathname.endsWith("/index.html");
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(page ? "./" : event.request, {ignoreSearch: true}))
    .then((kept) => kept || fetch(event.request)));
});
