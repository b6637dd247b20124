// What the pages' tests hold the pages to: racer_sim's pictures and
// racer_check's words on the same files in a scratch folder, and the files a
// player may hand over. Needs racer_sim and racer_check (build/bin).
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export const root = path.resolve(import.meta.dirname, '../..');
export const www = path.resolve(root, process.env.RACER_WEB_DIR ?? 'build-web/www');
export const racerSim = path.resolve(root, process.env.RACER_SIM ?? 'build/bin/racer_sim');
export const racerCheck = path.resolve(root, process.env.RACER_CHECK ?? 'build/bin/racer_check');
export const golden = path.join(root, 'tests/golden');
export const shipped = path.join(root, 'data');

// Files as racer_sim's folder gets them: names of shipped ones, or [name,
// text or bytes] pairs; as bytes.
export const fileBytes = files => files.map(file => (!Array.isArray(file) ? [file, fs.readFileSync(path.join(shipped, file))]
  : [file[0], Buffer.isBuffer(file[1]) ? file[1] : Buffer.from(file[1], 'latin1')]));

// The canvas of a page (or a frame) as 8-bit RGB, row by row.
export async function canvasRgb(page) {
  const base64 = await page.evaluate(() => {
    const rgba = document.getElementById('screen').getContext('2d').getImageData(0, 0, 640, 480).data;
    let bytes = '';
    for (let i = 0; i < rgba.length; i += 4) bytes += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
    return btoa(bytes);
  });
  return Buffer.from(base64, 'base64');
}

// A scratch folder holding the shipped config.txt and map.txt, then
// `files` (names of shipped ones, or [name, text or bytes] pairs), as the
// page's game has them; what `use(dir)` returns.
export function inFolder(files, use) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'racer-web-'));
  try {
    for (const [name, bytes] of fileBytes(['config.txt', 'map.txt', ...files])) fs.writeFileSync(path.join(dir, name), bytes);
    return use(dir);
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// racer_sim's picture of `frame` for the script text, with `files` in its
// folder, as 8-bit RGB.
export const racerSimRgb = (script, frame, fullScreen, files = []) => inFolder(files, dir => {
  fs.writeFileSync(path.join(dir, 'script.txt'), script);
  execFileSync(racerSim, ['--frames', String(frame), '--input', 'script.txt', '--png', 'out.png',
                          ...(fullScreen ? ['--fullscreen'] : [])], { cwd: dir });
  return execFileSync('convert', [path.join(dir, 'out.png'), '-depth', '8', 'rgb:-'], { maxBuffer: 1 << 22 });
});

// racer_check's diagnostics on a folder with `files`: its lines that name a file.
export const racerCheckWords = files => inFolder(files, dir => spawnSync(racerCheck, [], { cwd: dir, encoding: 'utf8' })
  .stdout.split('\n').filter(line => /^(config|map)/.test(line)));

export function differingPixels(a, b) {
  assert.equal(a.length, 640 * 480 * 3);
  assert.equal(b.length, a.length);
  let n = 0;
  for (let i = 0; i < a.length; i += 3) {
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) ++n;
  }
  return n;
}

// Text as Notepad saves it as "Unicode", and bytes that are no text at all.
export const utf16 = text => Buffer.concat([Buffer.from([0xFF, 0xFE]), Buffer.from(text, 'utf16le')]);
export const noise = n => {
  let x = 25;
  return Buffer.from(Array.from({ length: n }, () => (x = (Math.imul(x, 1103515245) + 12345) >>> 0) >>> 24));
};

