// What the pages' tests share: Debian's headless Chromium, a folder served
// over HTTP, and waiting on a page.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { chromium } from 'playwright-core';

const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                 '.png': 'image/png', '.webmanifest': 'application/manifest+json' };

const kChromium = {
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
};

// The browser; given a profile folder, a context that keeps what pages
// store in it.
export const launchChromium = profile =>
  profile ? chromium.launchPersistentContext(profile, kChromium) : chromium.launch(kChromium);

// A server on a free local port answering each address with the file
// fileOf(address) names, or with the body replacedBody(address) gives in
// its place; `base` is its address.
export async function serve(fileOf, replacedBody = () => undefined) {
  const server = http.createServer(async (request, response) => {
    const url = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = fileOf(url);
    const found = await fs.promises.readFile(file).catch(() => null);
    const body = found && (replacedBody(url) ?? found);
    response.writeHead(body ? 200 : 404, { 'Content-Type': kTypes[path.extname(file)] ?? 'text/plain' }).end(body ?? '');
  });
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  return { server, base: `http://127.0.0.1:${server.address().port}/` };
}

export const waitFor = (page, predicate, arg) =>
  page.waitForFunction(predicate, arg, { polling: 20, timeout: 10000 });

// Animation frames at `rate` per second of a clock the test drives:
// __step(n) runs n of them and returns the script time they took.
export function driveAnimationFrames(rate) {
  let now = 0;
  let waiting = [];
  window.requestAnimationFrame = callback => waiting.push(callback);
  window.__step = n => {
    let cost = 0;
    for (let k = 0; k < n; ++k) {
      const callbacks = waiting;
      waiting = [];
      now += 1000 / rate;
      const start = performance.now();
      for (const callback of callbacks) callback(now);
      cost += performance.now() - start;
    }
    return cost;
  };
}
