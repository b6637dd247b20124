// What both kinds of page do with files: take the player's, picked with a
// file chooser or dropped anywhere on the page, and fetch their own as
// bytes.
'use strict';

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
