// The two pages in Debian's headless Chromium: scripted frames pixel for
// pixel against racer_sim, keys, touch, the gamepad, the player's files and
// racer_check's words on them, Escape and playing again, a missing sound
// device, the pacing at any animation-frame rate, the picture on screens of
// any size and density, and playing offline.
// Needs the pages (build-web/www), racer_sim and racer_check (build/bin).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launchChromium, serve, waitFor, driveAnimationFrames } from './browser.mjs';
import { canvasRgb, differingPixels, fileBytes, golden, noise, racerCheckWords, racerSimRgb, shipped, utf16, www }
  from './native.mjs';


// Bodies served instead of the built files', by address: a new version.
const replaced = new Map();
let server;
let base;
let browser;

before(async () => {
  // The pages at /, the golden scripts at /golden/.
  ({ server, base } = await serve(
      url => url.startsWith('/golden/') ? path.join(golden, url.slice(8)) : path.join(www, url),
      url => replaced.get(url)));
  browser = await launchChromium();
});

after(async () => {
  await browser?.close();
  server?.close();
});

// A gamepad the test plugs in and moves: window.__pad.
function fakeGamepad() {
  window.__pad = null;
  navigator.getGamepads = () => [null, window.__pad];
}

// `device`: the screen and touch as Playwright's contexts take them. The
// service worker only runs where a test asks for it.
async function openPage(file, { rate = 60, query = '', setup = [], device } = {}) {
  const page = await (await browser.newContext({ serviceWorkers: 'block', ...device })).newPage();
  page.on('close', () => page.context().close().catch(() => {}));
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
const state = page => page.evaluate(() => document.body.dataset.state);
const frames = page => page.evaluate(() => racer._web_frame());
const step = (page, n) => page.evaluate(n => __step(n), n);

const pageOf = fullScreen => (fullScreen ? 'racer.html' : 'racer_window.html');

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
  await waitFor(page, chosen => chosen.every(([name, bytes]) =>
    racer.FS.analyzePath(name).exists && racer.FS.readFile(name).join() === bytes.join()),
  chosen.map(([name, buffer]) => [name, [...buffer]]));
}

// Rows: script, frame, program; the player's files picked or dropped (a
// name for what they are, the files), each kept with the shipped file of
// the other kind.
const kScriptedFrames = [
  ['start', 1, true],
  ['debug_map', 330, false],
  ['debug_map', 330, true],
  ['ghost_ahead', 1200, false],
  ['debug_map', 330, false, 'chooser', 'a UTF-16 config.txt', [['config.txt', utf16('SPEED 20000\r\nCORNER_ARCH 1\r\n')]]],
  ['debug_map', 330, true, 'drop', 'map.txt after a byte-order mark', [['map.txt', '\xEF\xBB\xBF0 0\n100 30\n300 -20\n']]],
  ['debug_map', 330, false, 'drop', 'random bytes as map.txt', [['map.txt', noise(200000)]]],
  ['debug_map', 330, false, 'chooser', 'an empty config.txt', [['config.txt', '']]],
  ['debug_map', 330, false, 'chooser', 'only config.txt',
   [['config.txt', 'SPEED 20000\nCORNER_ARCH 1\nGRIP_QUICK 99999999999\n']]],
  ['debug_map', 330, true, 'chooser', 'only map.txt, with CR-only lines', [['map.txt', '0 0\r100 40\r\n200 -40\n400 0\n']]],
];

for (const [script, frame, fullScreen, how, what, files] of kScriptedFrames) {
  const name = `${script} frame ${frame} on ${pageOf(fullScreen)}` + (files ? ` with ${what} (${how})` : '');
  test(`test mode: ${name} is racer_sim's picture` + (files ? ', with racer_check\'s words' : ''), async () => {
    const { page } = await openPage(pageOf(fullScreen), { query: `?script=golden/${script}.txt&frame=${frame}` });
    if (files) await giveFiles(page, files, how);
    await step(page, frame + 10);
    assert.equal(await state(page), 'pictured');
    assert.equal(await frames(page), frame);
    const expected = racerSimRgb(fs.readFileSync(path.join(golden, `${script}.txt`)), frame, fullScreen, files ?? []);
    assert.equal(differingPixels(await canvasRgb(page), expected), 0);
    if (files) {
      const words = await page.locator('#checked-lines li').allTextContents();
      assert.deepEqual(words, racerCheckWords(files));
      assert.ok(words.length > 0 || what.startsWith('an empty'), 'racer_check has something to say');
    }
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

// playAndCompare's `press` on the keyboard.
const onKeyboard = page => async (before, now, taps) => {
  for (const key of before) if (!now.has(key)) await page.keyboard.up(keyOf(key));
  for (const key of now) if (!before.has(key)) await page.keyboard.down(keyOf(key));
  for (const key of taps) await page.keyboard.press(keyOf(key));
};

test('the keyboard steers, brakes and switches as racer_sim\'s script does', async () => {
  for (const fullScreen of [false, true]) {
    const { page } = await openPage(pageOf(fullScreen));
    const lines = [...repeat(20, 'UP'), ...repeat(30, 'LEFT'), '+D', '+M', ...repeat(25, 'RIGHT UP'),
                   ...repeat(5, 'DOWN'), '+C', '+C', '+B', ...repeat(10, 'LEFT S')];
    await playAndCompare(page, lines, fullScreen, onKeyboard(page));
    await page.close();
  }
});

// Rows: the pad's mapping; its d-pad's buttons (standard 14 and 15) held
// over a stick at the other end, as racer_sim's JX at the end.
for (const mapping of ['', 'standard']) {
  test(`the first gamepad drives with DEVICE 0, plugged in while the game runs (${mapping || 'no'} mapping)`, async () => {
    const config = fs.readFileSync(path.join(shipped, 'config.txt'), 'latin1').replace(/^DEVICE 1/m, 'DEVICE 0');
    const files = [['config.txt', config], 'map.txt'];
    const { page } = await openPage('racer_window.html', { setup: [fakeGamepad] });
    await giveFiles(page, files, 'chooser');
    // Axis -1..1 and buttons 1 to 4 as racer_sim's JX and JB; with the
    // standard mapping JX at an end comes from the d-pad, the stick held
    // the other way.
    const pad = (jx, buttons) => page.evaluate(([jx, buttons, mapping]) => {
      const dpad = mapping === 'standard' && (jx === 0 || jx === 65535);
      const pressed = Array.from({ length: 16 }, (_, i) => (i < 4 && (buttons & (1 << i)) !== 0) ||
                                 (dpad && i === (jx === 0 ? 14 : 15)));
      const x = dpad ? (jx === 0 ? 1 : -1) : jx / 32768 - 1;
      window.__pad = { mapping, axes: [x, 0], buttons: pressed.map(p => ({ pressed: p })) };
    }, [jx, buttons, mapping]);
    const lines = [...repeat(5, ''), ...repeat(20, 'JX=32768 JB=2'), ...repeat(30, 'JX=0 JB=0'),
                   ...repeat(30, 'JX=65535 JB=4'), ...repeat(10, 'JX=32768 JB=1')];
    await playAndCompare(page, lines, false, async (before, now) => {
      const [jx, buttons] = [...now].map(t => Number(t.slice(3)));
      if (jx !== undefined) await pad(jx, buttons);
    }, files);
    await page.close();
  });
}

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

// Rows: the screen; where the picture lands, and the whole-number step
// before the smooth one (1: none, the canvas itself is scaled).
const kFullScreens = [
  [{ width: 1280, height: 720 }, { x: 160, y: 0, width: 960, height: 720 }, 1],
  [{ width: 1600, height: 1000 }, { x: 133, y: 0, width: 1333, height: 1000 }, 2],
];

test('racer.html takes the full screen on a click and fills its height, whole pixels first', async () => {
  for (const [viewport, box, factor] of kFullScreens) {
    const { page } = await openPage('racer.html', { device: { viewport } });
    await page.click('#screen');
    await waitFor(page, () => document.fullscreenElement?.id === 'stage');
    await step(page, 2);
    const shown = factor === 1 ? '#screen' : '#view';
    const at = await page.locator(shown).boundingBox();
    assert.deepEqual(Object.fromEntries(Object.entries(at).map(([k, v]) => [k, Math.round(v)])), box);
    // The second canvas holds each game pixel of the frame just drawn as a
    // factor-by-factor square (WebGL's rows bottom up).
    assert.equal(await page.evaluate(factor => {
      if (factor === 1) return getComputedStyle(document.getElementById('screen')).imageRendering;
      __step(1);
      const game = document.getElementById('screen').getContext('2d').getImageData(0, 0, 640, 480).data;
      const gl = document.getElementById('view').getContext('webgl');
      const [w, h] = [640 * factor, 480 * factor];
      const view = new Uint8Array(w * h * 4);
      gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, view);
      return view.every((value, i) => {
        const x = (i >> 2) % w, y = h - 1 - Math.floor((i >> 2) / w);
        return value === game[((Math.floor(y / factor) * 640 + Math.floor(x / factor)) << 2) + (i & 3)];
      }) ? getComputedStyle(document.getElementById('view')).imageRendering : 'uneven';
    }, factor), 'auto');
    assert.equal(await page.evaluate(() => getComputedStyle(document.getElementById('stage')).backgroundColor), 'rgb(0, 0, 0)');
    await page.close();
  }
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

// A phone held sideways, as Playwright's contexts take it.
const kPhone = { viewport: { width: 844, height: 390 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true };
const kUprightPhone = { ...kPhone, viewport: { width: 390, height: 844 } };

// Whether the element is wholly on the first screen.
const inView = (page, selector) => page.locator(selector).evaluate(e => {
  const box = e.getBoundingClientRect();
  return box.height > 0 && box.top >= 0 && box.left >= 0 && box.bottom <= innerHeight && box.right <= innerWidth;
});

test('on a phone a tap on Esc keeps the game, a second\'s hold ends it, and "Play again" starts it anew', async () => {
  for (const [fullScreen, device] of [[false, kUprightPhone], [true, kPhone]]) {
    const { page } = await openPage(pageOf(fullScreen), { device });
    const cdp = await page.context().newCDPSession(page);
    const box = await page.getByRole('button', { name: 'Esc: hold to leave the game', exact: true }).boundingBox();
    const finger = [{ x: box.x + box.width / 2, y: box.y + box.height / 2 }];
    const touch = type => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : finger });
    await step(page, 5);
    // A tap plays on with a word; a second's hold ends the game, its word and Play again in view.
    for (const [held, after, words, shown] of [[300, 'running', 'Hold Esc for a second to leave the game.', '#status'],
                                               [1300, 'ended', 'The game has ended.', '#again']]) {
      await touch('touchStart');
      await new Promise(resolve => setTimeout(resolve, held));
      await touch('touchEnd');
      await step(page, 2);
      assert.deepEqual([await state(page), await page.locator('#status').textContent(), await inView(page, shown)],
                       [after, words, true]);
    }
    // A new run on the same files, from its first frame.
    await page.getByRole('button', { name: 'Play again', exact: true }).click();
    assert.equal(await state(page), 'running');
    assert.equal(await page.locator('#again').isVisible(), false);
    const lines = [...repeat(30, 'UP'), ...repeat(20, 'LEFT'), '+M', ...repeat(10, 'RIGHT')];
    await playAndCompare(page, lines, fullScreen, onKeyboard(page));
    await page.close();
  }
});
// The controls of the script's keys, by their accessible names.
const kControls = { LEFT: 'Steer left', RIGHT: 'Steer right', UP: 'Throttle', DOWN: 'Brake',
                    D: 'Debug readouts (D)', M: 'Course map (M)', C: 'Background shade (C)', G: 'Ghost (G)' };

// Fingers on the controls through DevTools' touch events, one finger a
// control: touch(type, tokens) with the controls touched (touchStart: all
// of them, the new ones pressing) or lifted (touchEnd).
async function fingers(page) {
  const cdp = await page.context().newCDPSession(page);
  const at = {};
  for (const [token, name] of Object.entries(kControls)) {
    const box = await page.getByRole('button', { name, exact: true }).boundingBox();
    at[token] = { x: box.x + box.width / 2, y: box.y + box.height / 2, id: Object.keys(at).length };
  }
  return (type, tokens) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: [...tokens].map(t => at[t]) });
}

test('two thumbs on the touch controls steer, brake and switch as racer_sim\'s script does', async () => {
  for (const fullScreen of [false, true]) {
    const { page } = await openPage(pageOf(fullScreen), { device: kPhone });
    const touch = await fingers(page);
    const lines = [...repeat(20, 'UP'), ...repeat(30, 'LEFT'), '+D', '+M', ...repeat(25, 'RIGHT DOWN'),
                   ...repeat(10, 'DOWN LEFT'), '+C', ...repeat(5, 'DOWN'), '+G', ...repeat(10, 'RIGHT')];
    await playAndCompare(page, lines, fullScreen, async (before, now, taps) => {
      const lifted = [...before].filter(token => !now.has(token));
      if (lifted.length > 0) await touch('touchEnd', lifted);
      if ([...now].some(token => !before.has(token))) await touch('touchStart', now);
      for (const token of taps) {
        await touch('touchStart', [...now, token]);
        await touch('touchEnd', [token]);
      }
    });
    await page.close();
  }
});

// Rows: what the screen is, whether the page is touched; the controls shown.
const kControlsShown = [
  [{}, false, false],
  [{ hasTouch: true }, false, true],
  [{}, true, true],
];

test('the controls show on a touch screen or from the first touch, and show what is held; a tap on the picture takes the full screen', async () => {
  for (const [device, touched, shown] of kControlsShown) {
    const { page } = await openPage('racer_window.html', { device });
    const brake = page.getByRole('button', { name: 'Brake', exact: true });
    const cdp = await page.context().newCDPSession(page);
    const tap = async (x, y) => {
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y }] });
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    };
    if (touched) await tap(5, 700);
    assert.equal(await brake.isVisible(), shown, JSON.stringify(device));
    // The windowed page takes the full screen on a tap, not on a click.
    await (shown ? tap(640, 240) : page.click('#screen'));
    await step(page, 2);
    assert.equal(await page.evaluate(() => document.fullscreenElement?.id ?? 'none'), shown ? 'stage' : 'none');
    if (shown) await page.evaluate(() => document.exitFullscreen());
    if (shown) {
      const look = () => brake.evaluate(b => [b.getAttribute('aria-pressed'), getComputedStyle(b).backgroundColor]);
      const free = await look();
      const box = await brake.boundingBox();
      await brake.dispatchEvent('pointerdown', { pointerId: 7, buttons: 1 });
      const held = await look();
      await brake.dispatchEvent('pointerup', { pointerId: 7 });
      assert.deepEqual([free[0], held[0], (await look())[0]], ['false', 'true', 'false']);
      assert.notEqual(held[1], free[1]);
      assert.ok(box.width >= 48 && box.height >= 48);
    }
    await page.close();
  }
});

// A screenshot of the part of the page from CSS pixel (x, y) on, at least
// `width` by `height`, as [width, RGB bytes] in device pixels. Multiples of
// 4 CSS pixels are whole device pixels at every ratio tested.
async function screenshotRgb(page, x, y, width, height) {
  const clip = { x: 4 * Math.floor(x / 4), y: 4 * Math.floor(y / 4) };
  Object.assign(clip, { width: 4 * Math.ceil((x + width - clip.x) / 4), height: 4 * Math.ceil((y + height - clip.y) / 4) });
  const ppm = execFileSync('convert', ['png:-', 'ppm:-'], { input: await page.screenshot({ clip }), maxBuffer: 1 << 26 });
  const [, shotWidth, shotHeight] = ppm.toString('latin1', 0, 32).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/).map(Number);
  return [clip, shotWidth, ppm.subarray(ppm.length - shotWidth * shotHeight * 3)];
}

const kViewports = [[320, 480], [390, 844], [844, 390], [1024, 768], [1366, 768], [1920, 1080]];
const kRatios = [1, 1.25, 1.5, 2, 3];
// Upright phones where whole device pixels would leave the picture under
// 70 % of the width: it spans the width.
const kUpright = [[390, 844, 3], [412, 915, 2.625], [360, 780, 3]];
const kBand = [150, 250];  // the game's rows held to the screenshot: the horizon, road and texts

// One screen of the table below: the picture's box in view, the controls
// of a phone beside or under it, and the band of racer_sim's picture
// (`expected`) on screen.
async function checkScreen(width, height, ratio, expected) {
  const phone = width < 1000;
  const name = `${width}x${height} at ${ratio}`;
  const device = { viewport: { width, height }, deviceScaleFactor: ratio, hasTouch: phone, isMobile: phone };
  const { page } = await openPage('racer_window.html', { device, query: '?script=golden/debug_map.txt&frame=2' });
  await step(page, 3);
  const box = await page.locator('#screen').boundingBox();
  assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= width && box.y + box.height <= height, name);
  const controls = await page.locator('.hand button').evaluateAll(all => all.map(b => b.getBoundingClientRect().toJSON()));
  for (const c of phone ? controls : []) {
    assert.ok(c.width >= 48 && c.height >= 48 && c.bottom <= height, name);
    assert.ok(c.x >= box.x + box.width || c.right <= box.x || c.y >= box.y + box.height, name);
  }
  assert.ok(await inView(page, '#status'), name);
  const factor = Math.round(box.width * ratio) / 640;  // layout keeps 1/64 of a pixel
  if (kUpright.some(([w, h, r]) => w === width && h === height && r === ratio)) assert.ok(box.width >= 0.95 * width, name);
  if (!Number.isInteger(factor)) {
    // Smoothed: a screen too small for 640x480 device pixels (and a phone's
    // controls), or a phone's whole number too small against the room, so
    // that the picture fills the room's width or height.
    const small = width * ratio < 640 || (height - (phone ? 270 : 0)) * ratio < 480;
    assert.ok(small || (phone && (box.width >= 0.95 * width || box.height >= 0.9 * height)), `${name}: ${factor}`);
  } else {
    assert.ok(Number.isInteger(factor) && factor >= 1, `${name}: ${factor}`);
    if (!phone) assert.ok(640 * (factor + 1) > width * ratio || 480 * (factor + 1) > height * ratio, name);
    // Every game pixel of the band a factor-by-factor square of its own colour.
    const rows = kBand[1] - kBand[0];
    const [clip, shotWidth, shot] = await screenshotRgb(page, box.x, box.y + kBand[0] * factor / ratio,
                                                        box.width, rows * factor / ratio);
    const left = Math.round(box.x * ratio) - clip.x * ratio;
    const top = Math.round(box.y * ratio) + kBand[0] * factor - clip.y * ratio;
    let wrong = 0;
    for (let y = 0; y < rows * factor; ++y) {
      for (let x = 0; x < 640 * factor; ++x) {
        const from = ((kBand[0] + (y / factor | 0)) * 640 + (x / factor | 0)) * 3;
        const to = ((top + y) * shotWidth + left + x) * 3;
        if (shot[to] !== expected[from] || shot[to + 1] !== expected[from + 1] || shot[to + 2] !== expected[from + 2]) ++wrong;
      }
    }
    assert.equal(wrong, 0, name);
  }
  await page.close();
}

test('the picture and the status open in view on every screen, each game pixel an equal block of device pixels where it fills enough', async () => {
  const expected = racerSimRgb(fs.readFileSync(path.join(golden, 'debug_map.txt')), 2, false);
  const screens = [...kViewports.flatMap(([width, height]) => kRatios.map(ratio => [width, height, ratio])),
                   ...kUpright.slice(1)];
  // Three pages at a time.
  const next = async () => {
    for (let screen; (screen = screens.shift());) await checkScreen(...screen, expected);
  };
  await Promise.all([next(), next(), next()]);
});

// Installing and keeping a page are for a profile of one's own, not for
// the incognito contexts of the other tests.
test('after one visit each page plays offline, is installable, and a new build replaces the kept one; the front page opens offline', async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'racer-web-profile-'));
  const context = await launchChromium(profile);
  try {
    for (const file of ['racer_window.html', 'racer.html']) {
      const page = await context.newPage();
      await page.addInitScript(driveAnimationFrames, 60);
      await page.goto(base + file);
      await waitFor(page, () => navigator.serviceWorker.controller !== null);
      const cdp = await context.newCDPSession(page);
      assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, [], file);
      const offline = async () => {
        await context.setOffline(true);
        await page.reload();
        await waitFor(page, () => document.body.dataset.state === 'running');
        await step(page, 5);
        assert.equal(await frames(page), 4);
        await context.setOffline(false);
      };
      await offline();
      // A new build: another service worker, and a page script that says so.
      const worker = fs.readFileSync(path.join(www, 'sw.js'), 'latin1');
      const cache = 'new' + worker.match(/const kCache = kPrefix \+ '(\w+)'/)[1];
      replaced.set('/sw.js', worker.replace(/(const kCache = kPrefix \+ ')\w+/, '$1' + cache));
      replaced.set('/page.js', fs.readFileSync(path.join(www, 'page.js'), 'latin1') + '\nwindow.newBuild = true;\n');
      try {
        await page.reload();
        // The new worker's cache the only one left, within ten seconds.
        assert.ok(await page.evaluate(async cache => {
          for (const end = Date.now() + 10000; Date.now() < end; await new Promise(r => setTimeout(r, 20))) {
            const names = await caches.keys();
            if (names.length === 1 && names[0].endsWith(' ' + cache)) return true;
          }
          return false;
        }, cache), file);
      } finally {
        replaced.clear();
      }
      await offline();
      assert.equal(await page.evaluate(() => window.newBuild), true);
      await page.close();
    }
    // The front page too, and its icon.
    await context.setOffline(true);
    const page = await context.newPage();
    await page.goto(base + 'index.html');
    assert.equal(await page.locator('h1').textContent(), 'VELTIX RACE');
    assert.ok(await page.evaluate(() => fetch(document.querySelector('link[rel=icon]').href).then(r => r.ok)));
    await context.setOffline(false);
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
});
