// The player's files on racer_window.html, chosen or dropped in ways the
// page must answer soundly: two settings files at once, a file of another
// kind, a folder, and a new start once the game has ended. A pick replaces
// only the files it names: the shipped ones and earlier picks stay.
// Needs the pages (build-web/www).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { launchChromium, serve, waitFor } from './browser.mjs';

const root = path.resolve(import.meta.dirname, '../..');
const www = path.resolve(root, process.env.RACER_WEB_DIR ?? 'build-web/www');
const shipped = name => fs.readFileSync(path.join(root, 'data', name), 'latin1');

let server;
let base;
let browser;

// The pages' folder over HTTP, and the browser.
before(async () => {
  [{ server, base }, browser] = await Promise.all([serve(url => path.join(www, url)), launchChromium()]);
});

after(() => Promise.all([browser?.close(), server?.close()]));

// The page running the shipped files on the browser's own animation
// frames; `errors` collects what the page throws and leaves uncaught.
async function runningPage() {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', error => errors.push(error.message));
  await page.goto(base + 'racer_window.html');
  await waitFor(page, () => document.body.dataset.state === 'running' && racer._web_frame() > 2);
  return { page, errors };
}

const said = page => page.evaluate(() => [document.body.dataset.state, document.getElementById('status').textContent]);
// The game's data files in the module's folder, name -> text.
const gameFiles = page => page.evaluate(() => Object.fromEntries(racer.FS.readdir('/')
  .filter(name => name.endsWith('.txt')).map(name => [name, new TextDecoder('latin1').decode(racer.FS.readFile(name))])));
const shippedFiles = { 'config.txt': shipped('config.txt'), 'map.txt': shipped('map.txt') };

// [name, text] pairs through the chooser, or dropped with `folders` among
// them: names whose reading fails, as a dropped folder's does.
async function give(page, files, { drop = false, folders = [] } = {}) {
  if (!drop) {
    await page.setInputFiles('#files', files.map(([name, text]) => ({ name, mimeType: 'text/plain', buffer: Buffer.from(text, 'latin1') })));
    return;
  }
  await page.evaluate(([files, folders]) => {
    const read = File.prototype.arrayBuffer;
    File.prototype.arrayBuffer = function () {
      return folders.includes(this.name) ? Promise.reject(new DOMException('a folder', 'NotFoundError')) : read.call(this);
    };
    const transfer = new DataTransfer();
    for (const [name, text] of files) transfer.items.add(new File([text], name));
    for (const name of folders) transfer.items.add(new File([], name));
    dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, cancelable: true }));
  }, [files, folders]);
}

// Frames played on from now.
async function playsOn(page) {
  const frame = await page.evaluate(() => racer._web_frame());
  await waitFor(page, frame => racer._web_frame() > frame + 5, frame);
}

// Started again on exactly these files (all the game's files), with no
// words in the status; or still running on the shipped ones, saying why.
async function startsWith(page, files) {
  await waitFor(page, files => Object.keys(files).every(name => racer.FS.analyzePath(name).exists &&
    new TextDecoder('latin1').decode(racer.FS.readFile(name)) === files[name]), files);
  assert.deepEqual(await gameFiles(page), files);
  assert.deepEqual(await said(page), ['running', '']);
  await playsOn(page);
}

async function keepsRunning(page, words) {
  await waitFor(page, words => document.getElementById('status').textContent === words, words);
  await playsOn(page);
  assert.deepEqual(await gameFiles(page), shippedFiles);
  assert.equal((await said(page))[0], 'running');
}

test('two settings files: the game\'s own names are kept, two others for one file start nothing', async () => {
  for (const drop of [false, true]) {
    const { page, errors } = await runningPage();
    await give(page, [['config-fast.txt', 'SPEED 20000\n'], ['Config slow.TXT', 'SPEED 3000\n']], { drop });
    await keepsRunning(page, 'Two files for config.txt: config-fast.txt and Config slow.TXT. Pick one of them.');
    await give(page, [['config.txt', 'SPEED 9000\n'], ['config_bak.txt', 'SPEED 3000\n']], { drop });
    await startsWith(page, { ...shippedFiles, 'config.txt': 'SPEED 9000\n', 'config_bak.txt': 'SPEED 3000\n' });
    // The backup stays unless picked again.
    await give(page, [['config.txt', 'SPEED 7000\n']], { drop });
    await startsWith(page, { ...shippedFiles, 'config.txt': 'SPEED 7000\n', 'config_bak.txt': 'SPEED 3000\n' });
    assert.deepEqual(errors, []);
    await page.close();
  }
});

test('a file of another kind is left out, whatever its name starts with', async () => {
  const { page, errors } = await runningPage();
  await give(page, [['map.png', '\x89PNG\r\n\x1a\n'], ['notes.txt', 'SPEED 1\n']]);
  await keepsRunning(page, 'Neither a config nor a map file: map.png, notes.txt');
  await give(page, [['map.png', '\x89PNG\r\n\x1a\n'], ['mapped.txt', '0 0\n5 100\n']]);
  await startsWith(page, { ...shippedFiles, 'map.txt': '0 0\n5 100\n' });
  assert.deepEqual(errors, []);
  await page.close();
});

test('a dropped folder is named and left out, the files beside it taken', async () => {
  const { page, errors } = await runningPage();
  await give(page, [], { drop: true, folders: ['maps'] });
  await keepsRunning(page, 'Neither a config nor a map file: maps (a folder: pick the files in it)');
  await give(page, [['config.txt', 'SPEED 9000\n']], { drop: true, folders: ['maps'] });
  await startsWith(page, { ...shippedFiles, 'config.txt': 'SPEED 9000\n' });
  assert.deepEqual(errors, []);
  await page.close();
});

test('files picked after the game has ended start it again', async () => {
  const { page, errors } = await runningPage();
  await waitFor(page, () => racer._web_frame() > 100);
  await page.keyboard.press('Escape');
  await waitFor(page, () => document.body.dataset.state === 'ended');
  const ended = await page.evaluate(() => racer._web_frame());
  await waitFor(page, () => document.getElementById('screen').hidden);
  await give(page, [['config.txt', 'SPEED 9000\n'], ['map.txt', '0 0\n']]);
  await startsWith(page, { 'config.txt': 'SPEED 9000\n', 'map.txt': '0 0\n' });
  assert.ok(await page.evaluate(ended => racer._web_frame() < ended, ended), 'counting from the first frame again');
  assert.equal(await page.evaluate(() => document.getElementById('screen').hidden), false);
  assert.deepEqual(errors, []);
  await page.close();
});
