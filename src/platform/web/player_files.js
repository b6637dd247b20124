// What both kinds of page do with files: take the player's, picked with a
// file chooser or dropped anywhere on the page, and fetch their own as
// bytes.
'use strict';

// The game's name for a player's file: a name starting with `config` is
// the settings, one starting with `map` the course, each a .txt or without
// an extension; the game's own four names keep theirs, so that a backup
// stays a backup. '' for any other.
function playerFileRole(name) {
  const lower = name.toLowerCase();
  if (['config.txt', 'config_bak.txt', 'map.txt', 'map_bak.txt'].includes(lower)) return lower;
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
