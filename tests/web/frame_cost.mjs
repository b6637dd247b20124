// A benchmark, not a test: the main thread's script time an animation
// frame costs in both pages on a phone held sideways (844x390 at 3) with
// the CPU throttled four times, in the page and on the full screen. It
// prints the figures and asserts nothing.
//   node tests/web/frame_cost.mjs
import path from 'node:path';
import { launchChromium, serve, waitFor } from './browser.mjs';

const root = path.resolve(import.meta.dirname, '../..');
const www = path.resolve(root, process.env.RACER_WEB_DIR ?? 'build-web/www');
const kPhone = { viewport: { width: 844, height: 390 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true,
                 serviceWorkers: 'block' };
const kFrames = 300;

// The browser's own animation frames, each one game frame (16.67 ms of
// the game's clock) and its callback's script time kept.
function timeAnimationFrames() {
  const request = window.requestAnimationFrame.bind(window);
  let now = 0;
  window.__costs = [];
  window.requestAnimationFrame = callback => request(() => {
    now += 1000 / 60;
    const start = performance.now();
    callback(now);
    window.__costs.push(performance.now() - start);
  });
}
const framesPlayed = (page, n) => page.waitForFunction(n => window.__costs.length >= n, n, { timeout: 60000 });

const { server, base } = await serve(url => path.join(www, url));
const browser = await launchChromium();
try {
  for (const file of ['racer_window.html', 'racer.html']) {
    for (const full of [false, true]) {
      const page = await (await browser.newContext(kPhone)).newPage();
      await page.addInitScript(timeAnimationFrames);
      await page.goto(base + file);
      await waitFor(page, () => document.body.dataset.state === 'running');
      if (full) {
        await page.locator('#screen').tap();
        await waitFor(page, () => document.fullscreenElement !== null);
      }
      await framesPlayed(page, 120);  // the compiler's second tier
      const cdp = await page.context().newCDPSession(page);
      await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
      await page.evaluate(() => { window.__costs = []; });
      await framesPlayed(page, kFrames);
      const costs = (await page.evaluate(() => window.__costs)).sort((a, b) => a - b);
      const mean = costs.reduce((a, b) => a + b, 0) / costs.length;
      const where = full ? 'full screen' : 'in the page';
      const scaled = await page.evaluate(() => document.getElementById('stage').classList.contains('scaled'));
      console.log(`${file}, ${where}${scaled ? ' (two steps)' : ''}: ${mean.toFixed(2)} ms of script a frame at 4x ` +
                  `throttling (median ${costs[costs.length >> 1].toFixed(2)}, 95th percentile ${costs[Math.floor(costs.length * 0.95)].toFixed(2)})`);
      await page.context().close();
    }
  }
} finally {
  await browser.close();
  server.close();
}
