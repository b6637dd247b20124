// The two pages in Debian's headless Chromium: scripted frames pixel for
// pixel against racer_sim, keys, the gamepad, the player's files, Escape,
// a missing sound device and the pacing at any animation-frame rate.
// Needs the pages (build-web/www) and racer_sim (build/bin).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

const root = path.resolve(import.meta.dirname, '../..');
const www = path.resolve(root, process.env.RACER_WEB_DIR ?? 'build-web/www');
const racerSim = path.resolve(root, process.env.RACER_SIM ?? 'build/bin/racer_sim');
const golden = path.join(root, 'tests/golden');
const shipped = path.join(root, 'data');

const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
let server;
let base;
let browser;

before(async () => {
  // The pages at /, the golden scripts at /golden/.
  server = http.createServer((request, response) => {
    const url = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = url.startsWith('/golden/') ? path.join(golden, url.slice(8)) : path.join(www, url);
    fs.readFile(file, (error, body) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': kTypes[path.extname(file)] ?? 'text/plain' });
      response.end(error ? '' : body);
    });
  });
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  base = `http://127.0.0.1:${server.address().port}/`;
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
});

after(async () => {
  await browser?.close();
  server?.close();
});

// Animation frames at `rate` per second of a clock the test drives:
// __step(n) runs n of them and returns the script time they took.
function driveAnimationFrames(rate) {
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

// A gamepad the test plugs in and moves: window.__pad.
function fakeGamepad() {
  window.__pad = null;
  navigator.getGamepads = () => [null, window.__pad];
}

async function openPage(file, { rate = 60, query = '', setup = [] } = {}) {
  const page = await browser.newPage();
  const dialogs = [];
  page.on('dialog', dialog => {
    dialogs.push(dialog.message());
    dialog.accept();
  });
  if (rate) await page.addInitScript(driveAnimationFrames, rate);
  for (const script of setup) await page.addInitScript(script);
  await page.goto(base + file + query);
  await waitFor(page, () => ['running', 'failed'].includes(document.body.dataset.state));
  return { page, dialogs };
}

// Polled on a timer: the driven pages have no animation frames of their own.
const waitFor = (page, predicate, arg) => page.waitForFunction(predicate, arg, { polling: 20, timeout: 10000 });
const state = page => page.evaluate(() => document.body.dataset.state);
const frames = page => page.evaluate(() => racer._web_frame());
const step = (page, n) => page.evaluate(n => __step(n), n);

// The canvas as 8-bit RGB, row by row.
async function canvasRgb(page) {
  const base64 = await page.evaluate(() => {
    const rgba = document.getElementById('screen').getContext('2d').getImageData(0, 0, 640, 480).data;
    let bytes = '';
    for (let i = 0; i < rgba.length; i += 4) bytes += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
    return btoa(bytes);
  });
  return Buffer.from(base64, 'base64');
}

// racer_sim's picture of `frame` for the script text, with `files` (names
// of the shipped ones, or [name, text] pairs) in its folder, as 8-bit RGB.
function racerSimRgb(script, frame, fullScreen, files = ['config.txt', 'map.txt']) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'racer-web-'));
  try {
    for (const [name, bytes] of fileBytes(files)) fs.writeFileSync(path.join(dir, name), bytes);
    fs.writeFileSync(path.join(dir, 'script.txt'), script);
    execFileSync(racerSim, ['--frames', String(frame), '--input', 'script.txt', '--png', 'out.png',
                            ...(fullScreen ? ['--fullscreen'] : [])], { cwd: dir });
    return execFileSync('convert', [path.join(dir, 'out.png'), '-depth', '8', 'rgb:-'],
                        { maxBuffer: 1 << 22 });
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

function differingPixels(a, b) {
  assert.equal(a.length, 640 * 480 * 3);
  assert.equal(b.length, a.length);
  let n = 0;
  for (let i = 0; i < a.length; i += 3) {
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) ++n;
  }
  return n;
}

const pageOf = fullScreen => (fullScreen ? 'racer.html' : 'racer_window.html');

// Files as racer_sim's folder gets them: names of shipped ones, or
// [name, text] pairs; as bytes.
const fileBytes = files => files.map(file => (Array.isArray(file)
  ? [file[0], Buffer.from(file[1], 'latin1')] : [file, fs.readFileSync(path.join(shipped, file))]));

// The player's files, handed to the page as the chooser or a drop does;
// back once the game has started again with them.
async function giveFiles(page, files, how) {
  const chosen = fileBytes(files);
  if (how === 'chooser') {
    await page.setInputFiles('#files', chosen.map(([name, buffer]) => ({ name, mimeType: 'text/plain', buffer })));
  } else {
    await page.evaluate(chosen => {
      const transfer = new DataTransfer();
      for (const [name, bytes] of chosen) transfer.items.add(new File([new Uint8Array(bytes)], name));
      dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, cancelable: true }));
    }, chosen.map(([name, buffer]) => [name, [...buffer]]));
  }
  await waitFor(page, chosen => {
    const present = racer.FS.readdir('/').filter(name => name.endsWith('.txt'));
    return present.length === chosen.length && chosen.every(([name, bytes]) =>
      present.includes(name) && racer.FS.readFile(name).join() === bytes.join());
  }, chosen.map(([name, buffer]) => [name, [...buffer]]));
}

// Rows: script, frame, program, and the player's files when not the shipped ones.
const kScriptedFrames = [
  ['start', 1, true],
  ['debug_map', 330, false],
  ['debug_map', 330, true],
  ['ghost_ahead', 1200, false],
  ['slow_help', 40, false, ['map.txt'], 'chooser'],
  ['slow_help', 40, true, ['config.txt'], 'drop'],
];

for (const [script, frame, fullScreen, files, how] of kScriptedFrames) {
  const name = `${script} frame ${frame} on ${pageOf(fullScreen)}` + (files ? ` with only ${files} (${how})` : '');
  test(`test mode: ${name} is racer_sim's picture`, async () => {
    const { page } = await openPage(pageOf(fullScreen), { query: `?script=golden/${script}.txt&frame=${frame}` });
    if (files) await giveFiles(page, files, how);
    await step(page, frame + 10);
    assert.equal(await state(page), 'pictured');
    assert.equal(await frames(page), frame);
    const expected = racerSimRgb(fs.readFileSync(path.join(golden, `${script}.txt`)), frame, fullScreen, files);
    assert.equal(differingPixels(await canvasRgb(page), expected), 0);
    await page.close();
  });
}

// Plays `lines` (racer_sim script lines, one a frame) with `press(held,
// tapped)` before each frame, then holds the picture to racer_sim's.
async function playAndCompare(page, lines, fullScreen, press, files) {
  await step(page, 1);  // the clock's first reading
  let held = new Set();
  for (const line of lines) {
    const tokens = line.split(' ').filter(Boolean);
    const now = new Set(tokens.filter(t => !t.startsWith('+')));
    await press(held, now, tokens.filter(t => t.startsWith('+')).map(t => t.slice(1)));
    held = now;
    await step(page, 1);
  }
  assert.equal(await frames(page), lines.length);
  const expected = racerSimRgb(lines.join('\n') + '\n', lines.length, fullScreen, files);
  assert.equal(differingPixels(await canvasRgb(page), expected), 0);
}

const kKeyNames = { LEFT: 'ArrowLeft', RIGHT: 'ArrowRight', UP: 'ArrowUp', DOWN: 'ArrowDown' };
const keyOf = token => kKeyNames[token] ?? token.toLowerCase();
const repeat = (n, line) => Array(n).fill(line);

test('the keyboard steers, brakes and switches as racer_sim\'s script does', async () => {
  for (const fullScreen of [false, true]) {
    const { page } = await openPage(pageOf(fullScreen));
    const lines = [...repeat(20, 'UP'), ...repeat(30, 'LEFT'), '+D', '+M', ...repeat(25, 'RIGHT UP'),
                   ...repeat(5, 'DOWN'), '+C', '+C', '+B', ...repeat(10, 'LEFT S')];
    await playAndCompare(page, lines, fullScreen, async (before, now, taps) => {
      for (const key of before) if (!now.has(key)) await page.keyboard.up(keyOf(key));
      for (const key of now) if (!before.has(key)) await page.keyboard.down(keyOf(key));
      for (const key of taps) await page.keyboard.press(keyOf(key));
    });
    await page.close();
  }
});

test('the first gamepad drives with DEVICE 0, plugged in while the game runs', async () => {
  const config = fs.readFileSync(path.join(shipped, 'config.txt'), 'latin1').replace(/^DEVICE 1/m, 'DEVICE 0');
  const files = [['config.txt', config], 'map.txt'];
  const { page } = await openPage('racer_window.html', { setup: [fakeGamepad] });
  await giveFiles(page, files, 'chooser');
  // Axis -1..1 and buttons 1 to 4 as racer_sim's JX and JB.
  const pad = (x, buttons) => page.evaluate(([x, buttons]) => {
    window.__pad = { axes: [x, 0], buttons: [1, 2, 4, 8].map(bit => ({ pressed: (buttons & bit) !== 0 })) };
  }, [x, buttons]);
  const lines = [...repeat(5, ''), ...repeat(20, 'JX=32768 JB=2'), ...repeat(30, 'JX=0 JB=0'),
                 ...repeat(30, 'JX=65535 JB=4'), ...repeat(10, 'JX=32768 JB=1')];
  await playAndCompare(page, lines, false, async (before, now) => {
    const [x, buttons] = [...now].map(t => Number(t.slice(3)));
    if (x !== undefined) await pad(x / 32768 - 1, buttons);
  }, files);
  await page.close();
});

// Rows: page, the cursor while the game runs.
for (const [file, cursor] of [['racer_window.html', ''], ['racer.html', 'none']]) {
  test(`Escape ends ${file} as the close button does`, async () => {
    const { page } = await openPage(file);
    await step(page, 5);
    assert.equal(await page.evaluate(() => document.getElementById('screen').style.cursor), cursor);
    await page.keyboard.press('Escape');
    await step(page, 1);
    assert.equal(await state(page), 'ended');
    const ended = await frames(page);
    await step(page, 10);
    assert.equal(await frames(page), ended);
    assert.deepEqual(await page.evaluate(() => {
      const canvas = document.getElementById('screen');
      return [canvas.hidden, canvas.style.cursor];
    }), [true, '']);
    await page.close();
  });

  test(`without Web Audio ${file} shows the two boxes in turn and does not start`, async () => {
    const { page, dialogs } = await openPage(file, {
      setup: [() => { delete window.AudioContext; delete window.webkitAudioContext; }],
    });
    assert.deepEqual(dialogs, ['エラー発生\n\nDirectSoundが生成できませんDirectSoundの使用が不可能です',
                               'ダイレクトサウンドの初期化に失敗しました']);
    assert.equal(await state(page), 'failed');
    await step(page, 10);
    assert.equal(await frames(page), 0);
    assert.equal(await page.evaluate(() => document.getElementById('screen').hidden), true);
    await page.close();
  });
}

test('racer.html takes the full screen on a click', async () => {
  const { page } = await openPage('racer.html');
  await page.click('#screen');
  await waitFor(page, () => document.fullscreenElement?.id === 'stage');
  await page.close();
});

test('600 frames take 10 s of game time at any animation-frame rate', async t => {
  for (const rate of [30, 60, 75, 144, 240]) {
    const { page } = await openPage('racer_window.html', { rate });
    await step(page, 2 * rate);  // the clock's first reading, then the compiler's second tier
    const before = await frames(page);
    const cost = await step(page, 10 * rate);  // ten seconds
    assert.equal(await frames(page) - before, 600, `at ${rate} Hz`);
    t.diagnostic(`${rate} Hz: ${(cost / 600).toFixed(3)} ms of script time a frame`);
    await page.close();
  }
});

test('the page loads and draws the road with the browser\'s own animation frames', async t => {
  const { page } = await openPage('racer_window.html', { rate: 0 });
  await waitFor(page, () => racer._web_frame() >= 30);
  const rgb = await canvasRgb(page);
  const at = (x, y) => rgb.readUIntBE((y * 640 + x) * 3, 3);
  assert.deepEqual([at(320, 100), at(320, 300), at(20, 470)], [0xffffff, 0x000000, 0x000000]);
  const first = await page.evaluate(() => performance.getEntriesByName('first-picture')[0].startTime);
  t.diagnostic(`first picture ${first.toFixed(0)} ms after the page was asked for`);
  await page.close();
});
