// What the pages (and the workshop's worker) do with files: take the
// player's, picked with a file chooser or dropped anywhere on the page,
// fetch their own as bytes, and put the game's in a module's folder.
'use strict';

// The game's data files, by the names it reads.
const kGameFiles = ['config.txt', 'config_bak.txt', 'map.txt', 'map_bak.txt'];

// `files` ([name, bytes] pairs) as the only game files in `module`'s
// current directory, where the game reads them.
function putGameFiles(module, files) {
  for (const name of kGameFiles) {
    if (module.FS.analyzePath(name).exists) module.FS.unlink(name);
  }
  for (const [name, bytes] of files) module.FS.writeFile(name, bytes);
}

// The game's name for a player's file: a name starting with `config` is
// the settings, one starting with `map` the course, each a .txt or without
// an extension; the game's own four names keep theirs, so that a backup
// stays a backup. '' for any other.
function playerFileRole(name) {
  const lower = name.toLowerCase();
  if (kGameFiles.includes(lower)) return lower;
  const kind = /^(config|map)[^.]*(\.txt)?$/.exec(lower);
  return kind ? kind[1] + '.txt' : '';
}

// Hands the files picked with `input`, or dropped on the page, to
// `take(files)`. A drop never leaves the page for the file.
function takePlayerFiles(input, take) {
  input.addEventListener('change', () => take(input.files));
  addEventListener('dragover', event => {
    event.preventDefault();
    document.body.classList.add('dragging');
  });
  addEventListener('dragleave', () => document.body.classList.remove('dragging'));
  addEventListener('drop', event => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    take(event.dataTransfer.files);
  });
}

async function fetchBytes(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(url + ': ' + response.status);
  return new Uint8Array(await response.arrayBuffer());
}
