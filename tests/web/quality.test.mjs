// The front page and both game pages as a visitor meets them, served under
// a sub-path: nothing asked of the server outside it (an icon at the root,
// say), nothing on the first screen moving as a page loads, and no serious
// or critical fault axe-core finds, on a phone and on a desktop.
// Needs the pages (build-web/www).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { launchChromium, serve, waitFor } from './browser.mjs';

const root = path.resolve(import.meta.dirname, '../..');
const www = path.resolve(root, process.env.RACER_WEB_DIR ?? 'build-web/www');
const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

const kSubPath = '/games/veltix/';
const kPages = ['index.html', 'racer_window.html', 'racer.html', 'workshop.html'];
const kScreens = {
  phone: { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true },
  desktop: { viewport: { width: 1366, height: 768 }, deviceScaleFactor: 1.25 },
};

const outside = [];  // addresses asked for outside the sub-path
let server;
let base;
let browser;

before(async () => {
  [{ server, base }, browser] = await Promise.all([
    serve(url => {
      if (url.startsWith(kSubPath)) return path.join(www, url.slice(kSubPath.length));
      outside.push(url);
      return path.join(www, 'not-served');
    }),
    launchChromium()]);
});

after(() => Promise.all([browser?.close(), server?.close()]));

// The layout shifts a page makes by itself (not in answer to the player),
// summed from its first paint.
function countLayoutShifts() {
  window.__shifts = 0;
  new PerformanceObserver(list => {
    for (const entry of list.getEntries()) if (!entry.hadRecentInput) window.__shifts += entry.value;
  }).observe({ type: 'layout-shift', buffered: true });
}

// Opened as a visitor would, with the service worker; loaded once the game
// has played half a second (the front page: once it has loaded; the
// workshop: once it has checked the course).
async function visit(file, screen) {
  const context = await browser.newContext(kScreens[screen]);
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', error => errors.push(error.message));
  await page.addInitScript(countLayoutShifts);
  await page.goto(base.replace(/\/$/, kSubPath) + file, { waitUntil: 'load' });
  if (file === 'workshop.html') await waitFor(page, () => window.workshop?.checked && !workshop.busy);
  else if (file !== 'index.html') await waitFor(page, () => window.racer?._web_frame() >= 30);
  await waitFor(page, () => navigator.serviceWorker.controller !== null);
  return { page, errors, close: () => context.close() };
}

for (const screen of Object.keys(kScreens)) {
  test(`on a ${screen}, every page holds still as it loads, asks nothing outside its folder, and axe-core finds no serious fault`, async t => {
    for (const file of kPages) {
      const { page, errors, close } = await visit(file, screen);
      const shifts = await page.evaluate(() => window.__shifts);
      assert.ok(shifts < 0.1, `${file}: layout shift ${shifts}`);
      await page.addScriptTag({ content: axeSource });
      const { violations, passes } = await page.evaluate(() => axe.run(document, { resultTypes: ['violations'] }));
      const grave = violations.filter(v => ['serious', 'critical'].includes(v.impact));
      assert.deepEqual(grave.map(v => `${v.id}: ${v.nodes.map(n => n.target).join(' ')}`), [], file);
      t.diagnostic(`${file}: layout shift ${shifts.toFixed(4)}; axe: ${violations.length} violations ` +
                   `(${violations.map(v => `${v.id} ${v.impact}`).join(', ') || 'none'}), ${passes.length} rules passed`);
      assert.deepEqual(errors, [], file);
      await close();
    }
    assert.deepEqual(outside, []);
  });
}
