// A benchmark, not a test: what drawing on the course workshop's chart
// costs the main thread with the CPU throttled four times, on a phone and
// on a desktop, and how soon a pointer is answered while the worker checks
// the slowest course there is. It prints the figures and asserts nothing.
//   node tests/web/workshop_cost.mjs
import path from 'node:path';
import { launchChromium, serve, waitFor } from './browser.mjs';
import { www } from './native.mjs';

const kScreens = {
  phone: { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true },
  desktop: { viewport: { width: 1366, height: 768 }, deviceScaleFactor: 1.25 },
};
const kMoves = 120;

// Each animation frame's script: the pointer events since the one before
// and the frame's callbacks; and how long after its event each pointer
// move was answered.
function timeFrames() {
  const request = window.requestAnimationFrame.bind(window);
  let events = 0;
  window.__frames = [];
  window.__delays = [];
  let start = 0;
  addEventListener('pointermove', () => { start = performance.now(); }, { capture: true });
  addEventListener('pointermove', event => {
    events += performance.now() - start;
    window.__delays.push(performance.now() - event.timeStamp);
  });
  window.requestAnimationFrame = callback => request(now => {
    const begin = performance.now();
    callback(now);
    window.__frames.push(events + performance.now() - begin);
    events = 0;
  });
}

const figures = list => {
  if (list.length === 0) return 'none measured';
  const sorted = [...list].sort((a, b) => a - b);
  const at = q => sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * q))].toFixed(2);
  return `mean ${(sorted.reduce((a, b) => a + b, 0) / sorted.length).toFixed(2)}, median ${at(0.5)}, ` +
         `95th percentile ${at(0.95)}, most ${at(1)} ms (${sorted.length})`;
};

// The slowest course to smooth: neighbours as far apart as the game lets
// them be, brought together a unit a pass.
const kWorstMap = Array.from({ length: 800 }, (_, s) => `${s} ${s % 2 ? -2000 : 2000}`).join('\n') + '\n';

const { server, base } = await serve(url => path.join(www, url));
const browser = await launchChromium();
try {
  for (const [screen, device] of Object.entries(kScreens)) {
    const page = await (await browser.newContext({ serviceWorkers: 'block', ...device })).newPage();
    await page.addInitScript(timeFrames);
    await page.goto(base + 'workshop.html');
    await waitFor(page, () => window.workshop?.checked && !workshop.busy);
    const cdp = await page.context().newCDPSession(page);
    await page.locator('#chart').scrollIntoViewIfNeeded();
    const box = await page.locator('#chart').boundingBox();
    const at = k => [box.x + box.width * (0.1 + 0.8 * k / kMoves), box.y + box.height * (0.5 + 0.4 * Math.sin(k / 9))];
    const pointer = async (kind, k) => {
      const [x, y] = at(k);
      if (device.hasTouch) {
        const type = { down: 'touchStart', move: 'touchMove', up: 'touchEnd' }[kind];
        await cdp.send('Input.dispatchTouchEvent', { type, touchPoints: kind === 'up' ? [] : [{ x, y }] });
      } else {
        const type = { down: 'mousePressed', move: 'mouseMoved', up: 'mouseReleased' }[kind];
        await cdp.send('Input.dispatchMouseEvent', { type, x, y, button: 'left', buttons: kind === 'up' ? 0 : 1, clickCount: 1 });
      }
    };
    // A stroke across the chart, paced as a hand moves, for warming up and
    // then throttled.
    const stroke = async () => {
      await page.evaluate(() => { window.__frames = []; window.__delays = []; });
      await pointer('down', 0);
      for (let k = 1; k <= kMoves; ++k) {
        await pointer('move', k);
        await page.waitForTimeout(8);
      }
      await pointer('up', kMoves);
      await page.waitForTimeout(200);
      return page.evaluate(() => window.__frames.filter(cost => cost > 0));
    };
    await stroke();
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
    await cdp.send('Performance.enable');
    const script = async () => (await cdp.send('Performance.getMetrics')).metrics.find(m => m.name === 'ScriptDuration').value;
    const before = await script();
    const frames = await stroke();
    const total = (await script()) - before;
    console.log(`${screen}, a stroke of ${kMoves} moves at 4x throttling: script a frame: ${figures(frames)}; ` +
                `all the page's script: ${(total * 1000 / kMoves).toFixed(2)} ms a move`);

    // The slowest course loaded, and a pointer kept moving while it is
    // checked: the moves answered while the worker was busy.
    await page.click('#tool-select');
    await page.evaluate(() => {
      window.__busyDelays = [];
      addEventListener('pointermove', event => {
        if (workshop.busy) window.__busyDelays.push(performance.now() - event.timeStamp);
      });
    });
    for (const rate of [1, 4]) {
      await cdp.send('Emulation.setCPUThrottlingRate', { rate });
      await page.click('#load-straight');
      await waitFor(page, () => !workshop.busy);
      // The main thread's longest stall while the worker is busy, by a
      // timer that should tick every 4 ms.
      await page.evaluate(() => {
        window.__busyDelays = [];
        window.__stall = 0;
        let last = performance.now();
        window.__probe = setInterval(() => {
          const now = performance.now();
          if (workshop.busy) window.__stall = Math.max(window.__stall, now - last);
          last = now;
        }, 4);
      });
      let moving = true;
      const mover = (async () => {
        await pointer('down', 0);
        for (let k = 1; moving; ++k) await pointer('move', k % kMoves);
        await pointer('up', 0);
      })();
      const started = Date.now();
      await page.setInputFiles('#files', [{ name: 'map.txt', mimeType: 'text/plain', buffer: Buffer.from(kWorstMap) },
                                          { name: 'config.txt', mimeType: 'text/plain', buffer: Buffer.from('CORNER_ARCH 1\n') }]);
      await waitFor(page, () => workshop.busy);
      await waitFor(page, () => !workshop.busy);
      moving = false;
      await mover;
      const checked = Date.now() - started;
      const [delays, stall] = await page.evaluate(() => [window.__busyDelays, window.__stall, clearInterval(window.__probe)]);
      console.log(`${screen}, while the worker checked the slowest course (${checked} ms at ${rate}x throttling): ` +
                  `a pointer move answered after ${figures(delays)}; the main thread's longest stall ${stall.toFixed(1)} ms`);
    }
    await page.context().close();
  }
} finally {
  await browser.close();
  server.close();
}
