// The course workshop in Debian's headless Chromium: drawing with a mouse
// and a finger, the bend tool, undo and redo, read back from the page and
// from the saved map.txt; the saved files against racer_check and racer_sim;
// the player's odd files; the work kept over a reload, offline too; the
// courses it offers.
// Needs the pages (build-web/www), racer_sim and racer_check (build/bin).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launchChromium, serve, waitFor } from './browser.mjs';
import { canvasRgb, differingPixels, fileBytes, golden, inFolder, noise, racerCheck, racerCheckWords, racerSimRgb,
  root, utf16, www } from './native.mjs';

let server;
let base;
let browser;

before(async () => {
  ({ server, base } = await serve(url => url.startsWith('/golden/') ? path.join(golden, url.slice(8)) : path.join(www, url)));
  browser = await launchChromium();
});

after(async () => {
  await browser?.close();
  server?.close();
});

const kStraight = new Array(800).fill(0);
const idle = page => waitFor(page, () => window.workshop?.checked && !workshop.busy);
const course = page => page.evaluate(() => [...workshop.work.course]);
// Fills the page's fields, by id.
async function fill(page, fields) {
  for (const [id, value] of Object.entries(fields)) await page.fill('#' + id, String(value));
}
// The bend tool's button, from section `start`.
async function layBend(page, start, depth, hold) {
  await fill(page, { from: start, to: start, depth, hold });
  await page.click('#lay');
}
async function setSetting(page, name, value) {
  await page.fill('#setting-' + name, String(value));
  await page.locator('#setting-' + name).dispatchEvent('change');
}
// Loads files by `action` and waits for the work to take them.
async function load(page, action) {
  await page.evaluate(() => (document.getElementById('said').textContent = ''));
  await action();
  await waitFor(page, () => document.getElementById('said').textContent.startsWith('Loaded'));
  await idle(page);
}

// The workshop on a straight course, checked.
async function openWorkshop(device = {}, query = '') {
  const context = await browser.newContext({ serviceWorkers: 'block', acceptDownloads: true, ...device });
  const page = await context.newPage();
  page.on('close', () => context.close().catch(() => {}));
  const errors = [];
  page.on('pageerror', error => errors.push(error.message));
  await page.goto(base + 'workshop.html' + query);
  await idle(page);
  await page.click('#load-straight');
  await idle(page);
  return { page, errors };
}

// A saved file's text: what the Save button downloads.
async function saved(page, button) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
  return fs.readFileSync(await download.path(), 'latin1');
}

// What the game reads from a saved file: the workshop loads it, its worker
// reads it with the game's own reader, and the load is undone.
async function readBack(page, name, text) {
  await load(page, () => page.setInputFiles('#files', [{ name, mimeType: 'text/plain', buffer: Buffer.from(text, 'latin1') }]));
  const work = await page.evaluate(() => [[...workshop.work.course], [...workshop.work.settings]]);
  await page.click('#undo');
  await idle(page);
  return work[name === 'map.txt' ? 0 : 1];
}
const savedCourse = async page => readBack(page, 'map.txt', await saved(page, '#save-map'));

// Where section s (its middle) and value v lie on the chart of a straight
// course, whose top edge stands for 150.
async function chartPoint(page, s, v) {
  await page.locator('#chart').scrollIntoViewIfNeeded();
  const box = await page.locator('#chart').boundingBox();
  return { x: box.x + (s + 0.5) * box.width / 800, y: box.y + box.height / 2 - v * (box.height / 2 - 8) / 150 };
}

// A stroke from (s0, v0) to (s1, v1) leaves the sections between on the
// straight line between the values its ends got, within a unit of those
// aimed at, and the rest straight.
function assertStroke(sections, [s0, v0], [s1, v1]) {
  const [a, b] = [sections[s0], sections[s1]];
  assert.ok(Math.abs(a - v0) <= 1 && Math.abs(b - v1) <= 1, `ends ${a}, ${b}`);
  sections.forEach((v, s) => {
    const expected = s < s0 || s > s1 ? 0 : Math.round(a + (b - a) * (s - s0) / (s1 - s0));
    assert.ok(Math.abs(v - expected) <= 1, `section ${s}: ${v}, not ${expected}`);
  });
}

test('a mouse stroke draws its line over the sections; undo and redo by key and by button', async () => {
  const { page, errors } = await openWorkshop();
  const from = await chartPoint(page, 100, 0);
  const to = await chartPoint(page, 200, 100);
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  for (let k = 1; k <= 20; ++k) await page.mouse.move(from.x + (to.x - from.x) * k / 20, from.y + (to.y - from.y) * k / 20);
  await page.mouse.up();
  await idle(page);
  const drawn = await course(page);
  assertStroke(drawn, [100, 0], [200, 100]);
  assert.deepEqual(await savedCourse(page), drawn);
  for (const [undo, redo] of [[() => page.keyboard.press('Control+z'), () => page.keyboard.press('Control+Shift+Z')],
                              [() => page.click('#undo'), () => page.click('#redo')]]) {
    await page.locator('#chart').focus();
    await undo();
    assert.deepEqual(await course(page), kStraight);
    await redo();
    assert.deepEqual(await course(page), drawn);
  }
  await page.click('#undo');
  await idle(page);
  assert.deepEqual(await savedCourse(page), kStraight);
  assert.deepEqual(errors, []);
  await page.close();
});

// A finger on a phone: one draws; two scroll and zoom the chart and change
// no section, even when the second lands while the first is drawing.
test('on a phone one finger draws and two zoom the chart without drawing', async () => {
  const phone = { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true };
  const { page } = await openWorkshop(phone);
  const cdp = await page.context().newCDPSession(page);
  const touch = (type, points) => cdp.send('Input.dispatchTouchEvent',
    { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
  const from = await chartPoint(page, 300, 0);
  const to = await chartPoint(page, 340, -80);
  await touch('touchStart', [[from.x, from.y]]);
  for (let k = 1; k <= 10; ++k) await touch('touchMove', [[from.x + (to.x - from.x) * k / 10, from.y + (to.y - from.y) * k / 10]]);
  await touch('touchEnd', []);
  await idle(page);
  const drawn = await course(page);
  assertStroke(drawn, [300, 0], [340, -80]);

  const middle = await chartPoint(page, 400, 0);
  await touch('touchStart', [[middle.x - 10, middle.y]]);
  await touch('touchMove', [[middle.x - 20, middle.y + 30]]);
  await touch('touchStart', [[middle.x - 20, middle.y + 30], [middle.x + 20, middle.y]]);
  for (let k = 1; k <= 10; ++k) await touch('touchMove', [[middle.x - 20 - 8 * k, middle.y + 30], [middle.x + 20 + 8 * k, middle.y]]);
  await touch('touchEnd', []);
  const view = await page.evaluate(() => workshop.view);
  assert.ok(view.span < 400 && view.start > 0 && view.start < 400 && view.start + view.span > 400, JSON.stringify(view));
  assert.deepEqual(await course(page), drawn);
  await page.close();
});

// The bend tool: up in steps of CORNER_ARCH, the depth held, down again;
// laid where clicked, and by its button from the range's start.
test('the bend tool lays a bend that builds up and unwinds in steps of CORNER_ARCH, which the smoothing leaves alone', async () => {
  const { page } = await openWorkshop();
  await fill(page, { depth: 20, hold: 5 });
  await page.click('#tool-bend');
  const at = await chartPoint(page, 100, 0);
  await page.mouse.click(at.x, at.y);
  await layBend(page, 500, -7, 2);
  await idle(page);
  const expected = [...kStraight];
  [2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 20, 20, 20, 20, 18, 16, 14, 12, 10, 8, 6, 4, 2].forEach((v, k) => (expected[100 + k] = v));
  [-2, -4, -6, -7, -7, -5, -3, -1].forEach((v, k) => (expected[500 + k] = v));
  assert.deepEqual(await course(page), expected);
  assert.deepEqual(await page.evaluate(() => workshop.checked.course), expected);
  assert.deepEqual(await savedCourse(page), expected);
  // One that cannot fit in a lap is refused.
  await layBend(page, 500, 2000, 2);
  assert.match(await page.locator('#said').textContent(), /does not fit in one lap/);
  assert.deepEqual(await course(page), expected);
  await page.close();
});

// Everything from the keyboard: a range set to a value, copied, moved (the
// sections between closing up), and a section picked and changed on the chart.
test('the range tools and the chart answer the keyboard', async () => {
  const { page } = await openWorkshop();
  const press = async (id, fields) => {
    await fill(page, fields);
    await page.focus('#' + id);
    await page.keyboard.press('Enter');
  };
  await press('set', { from: 10, to: 19, value: 50 });
  await press('copy', { from: 10, to: 19, target: 100 });
  await press('move', { from: 100, to: 109, target: 300 });
  await page.focus('#chart');
  for (const key of ['Home', 'ArrowRight', 'ArrowRight', 'ArrowUp', 'ArrowUp', 'PageDown']) await page.keyboard.press(key);
  const expected = [...kStraight];
  for (let s = 0; s < 10; ++s) expected[10 + s] = expected[300 + s] = 50;
  expected[2] = -8;
  assert.deepEqual(await course(page), expected);
  await idle(page);
  assert.match(await page.locator('#chart').getAttribute('aria-valuetext'), /^Section 2: -8 as written, -?\d+ as the game makes it$/);
  await page.close();
});

// Saved files read back by the native tools give the workshop's report
// word for word, and the workshop's drive racer_sim's frames.
test('the saved files give racer_check\'s report as the workshop showed it and racer_sim\'s frames as its drive', async () => {
  const context = await browser.newContext({ serviceWorkers: 'block', acceptDownloads: true });
  const page = await context.newPage();
  await page.goto(base + 'workshop.html');
  await idle(page);
  const shippedCourse = await course(page);
  await layBend(page, 40, -90, 12);
  await setSetting(page, 'SPEED', 14000);
  await idle(page);
  const files = [['config.txt', await saved(page, '#save-config')], ['map.txt', await saved(page, '#save-map')]];
  // The loaded files' lines and notes kept where nothing changed.
  const shippedText = name => fs.readFileSync(path.join(root, 'data', name), 'latin1');
  assert.equal(files[0][1], shippedText('config.txt').replace('SPEED 12000', 'SPEED 14000'));
  const shippedMap = shippedText('map.txt').split('\n');
  const changed = (await course(page)).map((v, s) => (v !== shippedCourse[s] ? s : -1));
  assert.ok(changed.filter(s => s >= 0).length > 20);
  for (const line of files[1][1].split('\n')) {
    const fresh = /^(\d+) -?\d+$/.exec(line);
    assert.ok(shippedMap.includes(line) || (fresh && changed.includes(Number(fresh[1]))), line);
  }
  const report = await page.locator('#report').textContent();
  const checked = inFolder(files, dir => spawnSync(racerCheck, [], { cwd: dir, encoding: 'utf8' }).stdout);
  assert.equal(report, checked);
  assert.match(report, /SPEED +14000/);

  // The same work after a reload, driven by a golden script in test mode.
  await page.goto(base + 'workshop.html?script=golden/debug_map.txt&frame=330');
  await idle(page);
  await waitFor(page, () => document.getElementById('drive-frame').contentWindow.racerPlay);
  await page.click('#drive');
  const game = page.frame({ url: /racer_window\.html/ });
  await game.waitForFunction(() => document.body.dataset.state === 'pictured', null, { timeout: 30000 });
  const expected = racerSimRgb(fs.readFileSync(path.join(golden, 'debug_map.txt')), 330, false, files);
  assert.equal(differingPixels(await canvasRgb(game), expected), 0);
  await context.close();
});

// Rows: what the file is, the files. Each is read as the game reads it,
// racer_check's words on it shown, the work of the other kind kept, and
// the files saved then give the game what it read.
const kLongNote = '# ' + '-'.repeat(157) + '12 80\n';
const kOddFiles = [
  ['a UTF-16 config.txt', [['config.txt', utf16('SPEED 20000\r\nCORNER_ARCH 1\r\n')]]],
  ['map.txt after a byte-order mark', [['map.txt', '\xEF\xBB\xBF0 0\n100 30\n300 -20\n']]],
  ['random bytes as map.txt', [['map.txt', noise(200000)]]],
  ['a note longer than a line as the game reads one', [['map.txt', kLongNote + '0 0\n10 5\n20 0\n']]],
  ['a config.txt of CR-only lines under a note', [['config.txt', '# mine\rSPEED 15000\rLR_TURN 500\r']]],
];
for (const [what, files] of kOddFiles) {
  test(`${what}: racer_check's words, and nothing else changes`, async () => {
    const { page, errors } = await openWorkshop();
    await load(page, () => page.click('#load-shipped'));
    const before = await page.evaluate(() => ({ ...workshop.work }));
    await load(page, () => page.setInputFiles('#files',
      fileBytes(files).map(([name, buffer]) => ({ name, mimeType: 'text/plain', buffer }))));
    const words = (await page.locator('#report').textContent()).split('\n').filter(line => /^(config|map)/.test(line));
    assert.ok(words.length > 0);
    assert.deepEqual(words, racerCheckWords(files));
    const after = await page.evaluate(() => ({ ...workshop.work }));
    const kept = files[0][0] === 'map.txt' ? 'settings' : 'course';
    assert.deepEqual(after[kept], before[kept]);
    assert.deepEqual(await savedCourse(page), after.course);
    assert.deepEqual(await readBack(page, 'config.txt', await saved(page, '#save-config')), after.settings);
    await page.click('#undo');
    assert.deepEqual(await page.evaluate(() => ({ ...workshop.work })), before);
    assert.deepEqual(errors, []);
    await page.close();
  });
}

test('the work in progress outlives a reload, offline too, and the workshop is installable', async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'racer-workshop-profile-'));
  const context = await launchChromium(profile);
  try {
    const page = await context.newPage();
    await page.goto(base + 'workshop.html');
    await waitFor(page, () => navigator.serviceWorker.controller !== null);
    await idle(page);
    const cdp = await context.newCDPSession(page);
    assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
    await layBend(page, 600, 120, 20);
    await setSetting(page, 'CORNER_ARCH', 3);
    await idle(page);
    const work = await page.evaluate(() => [workshop.work.course, workshop.work.settings, workshop.checked.report]);
    for (const offline of [false, true]) {
      await page.waitForTimeout(400);  // the work is stored a moment after the last change
      await context.setOffline(offline);
      await page.reload();
      await idle(page);
      assert.deepEqual(await page.evaluate(() => [workshop.work.course, workshop.work.settings, workshop.checked.report]),
        work, offline ? 'offline' : 'online');
    }
    await context.setOffline(false);
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
});

test('the workshop offers each course of data/courses, and racer_check and the autodrive are content with each', async () => {
  const { page } = await openWorkshop();
  const offered = await page.locator('#courses option').evaluateAll(options => options.map(o => o.value));
  const courses = fs.readdirSync(path.join(root, 'data/courses')).sort();
  assert.equal(courses.length, 3);
  assert.deepEqual(offered, courses.map(name => 'data/courses/' + name));
  for (const value of offered) {
    await page.selectOption('#courses', value);
    await load(page, () => page.click('#load-course'));
    assert.match(await page.locator('#check-state').textContent(),
      /^racer_check finds every line read as written; the autodrive laps in [\d.]+ s\.$/, value);
    assert.doesNotMatch(await page.locator('#report').textContent(), /rail contacts: [1-9]/, value);
  }
  await page.close();
});
