// The web bundle as a static host serves it under a sub-path (the URL given;
// screenshots go to the folder given after it):
// index.html introduces the game and links both pages, and each page plays
// there, asking only for addresses under the sub-path, the shipped files
// among them. Exits non-zero on the first failed check.
import assert from 'node:assert/strict';

// The pages' tests' browser, with their playwright-core.
import { launchChromium } from '../web/browser.mjs';

const [base, pictures] = process.argv.slice(2);
const browser = await launchChromium();
try {
  const page = await browser.newPage();
  const asked = [];
  page.on('response', response => asked.push([response.url(), response.status()]));
  page.on('dialog', dialog => assert.fail(`the page says: ${dialog.message()}`));

  await page.goto(base);
  assert.equal(await page.title(), 'VELTIX RACE');
  await page.screenshot({ path: `${pictures}/index.png`, fullPage: true });
  for (const [link, file] of [['#play-window', 'racer_window.html'], ['#play-fullscreen', 'racer.html']]) {
    await page.goto(base);
    await Promise.all([page.waitForURL(base + file), page.click(link)]);
    await page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 10000 });
    const first = await page.evaluate(() => racer._web_frame());
    await page.waitForTimeout(1000);
    const frames = await page.evaluate(() => racer._web_frame()) - first;
    assert.ok(frames >= 30, `${file}: ${frames} frames in a second`);
    // The road's black band across the bottom rows, off the centre line.
    const road = await page.evaluate(() => {
      const rgba = document.getElementById('screen').getContext('2d').getImageData(60, 465, 100, 10).data;
      let dark = 0;
      for (let i = 0; i < rgba.length; i += 4) dark += rgba[i] < 10 && rgba[i + 1] < 10 && rgba[i + 2] < 10;
      return dark / (rgba.length / 4);
    });
    assert.ok(road >= 0.99, `${file}: road band ${road}`);
    await page.screenshot({ path: `${pictures}/${file}.png` });
    console.log(`ok: ${file}, reached from index.html, plays (${frames} frames in a second, the road on the canvas)`);
  }
  for (const [url, status] of asked) {
    assert.ok(url.startsWith(base), `asked for ${url}, outside ${base}`);
    assert.ok(status === 200 || status === 304, `${url}: status ${status}`);
  }
  for (const file of ['data/config.txt', 'data/map.txt']) {
    assert.ok(asked.some(([url]) => url === base + file), `${file} never asked for`);
  }
  console.log(`ok: ${asked.length} answers, all found under ${base}`);
} finally {
  await browser.close();
}
