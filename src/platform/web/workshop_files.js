// The course workshop's two files as text: what a loaded map.txt or
// config.txt keeps (its header, each line the game reads exactly as
// written with the notes before it, and the notes after the last), and the
// work written back in the game's format around what was kept. Files are
// byte strings, one character a byte, so that a loaded file's lines go
// back out byte for byte whatever its encoding.
'use strict';
const workshopFiles = (() => {
  const kSections = 800;
  const kMapHeader = [
    '# A course for VELTIX RACE, made in the course workshop.',
    '# One "section value" line where the bend changes; the sections after it',
    '# keep its value. Above 0 the road turns right, below 0 left, 0 is straight.',
  ];
  const kConfigHeader = [
    '# VELTIX RACE settings, saved by the course workshop. One setting a line:',
    '# name, then a whole number. Text after a hash mark is a note and is not read.',
  ];

  const bytesOf = text => {
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    return bytes;
  };
  const textOf = bytes => {
    let text = '';
    for (let i = 0; i < bytes.length; i += 8192) text += String.fromCharCode(...bytes.subarray(i, i + 8192));
    return text;
  };

  // What a file keeps of the one loaded, its bytes while nothing has
  // changed since, and while the worker has not yet said what the game
  // reads from them, the number of that load.
  const source = (header = [], kept = new Map(), footer = [], bytes = null, load = 0) =>
    ({header, kept, footer, bytes, load});

  // A loaded file's header and the lines worth keeping. `key` tells what a
  // line sets, as [key, value], or null for any other line. Only a line the
  // game reads as one is kept: well short of the 159 characters it reads
  // at once, and without a carriage return inside, which the game does not
  // take as a line's end.
  const kKeptLength = 150;
  const whole = line => line.length <= kKeptLength && !line.includes('\r');
  const note = line => whole(line) && /^\s*(#|$)/.test(line);
  function sourceOf(bytes, key, load) {
    const lines = textOf(bytes).split('\n').map(line => line.replace(/\r$/, ''));
    const header = [];
    let i = 0;
    while (i < lines.length && lines[i] !== '' && note(lines[i])) header.push(lines[i++]);
    const kept = new Map();
    let notes = [];
    for (; i < lines.length; ++i) {
      const line = lines[i];
      const sets = whole(line) ? key(line) : null;
      if (sets) {
        kept.set(sets[0], {value: sets[1], text: line, notes});
        notes = [];
      } else {
        notes = note(line) ? [...notes, line] : [];
      }
    }
    while (notes.length > 0 && notes[notes.length - 1] === '') notes.pop();
    return source(header, kept, notes, bytes, load);
  }
  const mapKey = line => {
    const m = /^[ \t]*(\d{1,3})[ \t]*[ \t,=][ \t]*(-?\d{1,4})[ \t]*(#.*)?$/.exec(line);
    return m && Number(m[1]) < kSections ? [Number(m[1]), Number(m[2])] : null;
  };
  const configKey = names => line => {
    const m = /^[ \t]*([A-Z_]+)[ \t]*[ \t,=][ \t]*(-?\d{1,10})[ \t]*(#.*)?$/.exec(line);
    return m && names.includes(m[1]) ? [m[1], Number(m[2])] : null;
  };

  // A file's lines: its header, then for each key in order its kept line
  // where the value is the same, else a fresh one (none for null).
  function fileText(src, defaultHeader, keys, fresh) {
    const lines = [...(src.header.length > 0 ? src.header : defaultHeader)];
    for (const [key, value] of keys) {
      const kept = src.kept.get(key);
      if (kept && kept.value === value) lines.push(...kept.notes, kept.text);
      else {
        const line = fresh(key, value);
        if (line !== null) lines.push(line);
      }
    }
    return [...lines, ...src.footer].join('\n') + '\n';
  }

  // map.txt: section 0 and each section whose value differs from the one
  // before; the game's fill gives the rest.
  const mapText = (src, course) =>
    fileText(src, kMapHeader, course.map((value, section) => [section, value]),
             (section, value) => section === 0 || value !== course[section - 1] ? section + ' ' + value : null);

  // config.txt: a line a setting, its meaning as a note.
  const configText = (src, names, values, meanings) =>
    fileText(src, kConfigHeader, names.map((name, k) => [name, values[k]]), (name, value) => {
      const line = (name + ' ' + value).padEnd(26);
      return meanings.has(name) ? line + '# ' + meanings.get(name) : line.trimEnd();
    });

  return {bytesOf, textOf, source, sourceOf, mapKey, configKey, mapText, configText};
})();
