// The course workshop: the course's 800 sections and the 14 settings as the
// player edits them, a chart of the course as written and as the game makes
// it, the game's own report and course map from a worker
// (workshop_worker.js) that runs racer_check's code off this thread, the
// game itself in a frame to drive it, the files to load and save (their
// text in workshop_files.js), and the work kept in the browser.
'use strict';
(function () {
  const kSections = 800;
  const kStoreKey = 'veltix-race workshop';
  const kHistoryLimit = 500;
  const kStrokeCheckGap = 100;  // ms between checks while a finger draws
  const $ = id => document.getElementById(id);
  const chart = $('chart');
  const driveFrame = $('drive-frame');
  const address = new URLSearchParams(location.search);

  const {bytesOf, textOf, source, sourceOf, mapKey, configKey} = workshopFiles;

  // The settings' names and built-in values (from the module, in the
  // reader's order), their meanings (from the shipped config.txt's notes),
  // and where a slider makes sense, its range.
  let settingNames = [];
  let builtIns = [];
  let valueLimit = 0;  // the game holds course values within this
  const meanings = new Map();
  const kRanges = {
    SPEED: [1000, 30000], BRAKE_LEVEL: [0, 2000], LR_TURN: [0, 2000], LR_SLIDE: [0, 1000], LR_RESIST: [0, 1000],
    GRIP_MIN: [1, 10000], GRIP_QUICK: [1, 1000], GRIP_RETURN: [1, 1000], BRAKE_GRIP_TIME: [0, 600],
    RIDGE_RAIL: [0, 1000], CORNER_ARCH: [1, 50], COURSE_WIDE: [1, 40], GHOST_FORWARD_SCALE: [0, 2000],
  };

  // ---- The work ----------------------------------------------------------
  // course: the sections as written, after the game's fill; settings: the
  // values the game runs with; map and config: what each file keeps of the
  // one loaded (workshopFiles.source).
  let work = {course: new Array(kSections).fill(0), settings: [], map: source(), config: source()};
  let loads = 0;
  const loading = () => work.map.load !== 0 || work.config.load !== 0;

  const mapText = () => workshopFiles.mapText(work.map, work.course);
  const configText = () => workshopFiles.configText(work.config, settingNames, work.settings, meanings);

  // The files as the game gets them: a loaded file as it came until it
  // changes.
  const gameFiles = () => [['config.txt', work.config.bytes ?? bytesOf(configText())],
                           ['map.txt', work.map.bytes ?? bytesOf(mapText())]];

  // ---- Undo and redo ----------------------------------------------------
  const history = [];
  const future = [];
  const snapshot = () => ({...work, course: [...work.course], settings: [...work.settings]});

  // Before each change: what undo brings back.
  function remember() {
    history.push(snapshot());
    if (history.length > kHistoryLimit) history.shift();
    future.length = 0;
  }

  function step(from, to) {
    if (from.length === 0) return;
    to.push(snapshot());
    work = from.pop();
    changed({settings: true});
  }
  const undo = () => step(history, future);
  const redo = () => step(future, history);

  // A change to the course (`course`) or the settings leaves the loaded
  // file's bytes behind. None is made while a loaded file is being read:
  // the answer would overwrite it.
  function edited(what) {
    if (what === 'course') work.map = {...work.map, bytes: null};
    else work.config = {...work.config, bytes: null};
    changed({});
  }
  function editable() {
    if (loading()) say('A moment: the file loaded is still being read.');
    return !loading();
  }
  function courseEdit(change) {
    if (!editable()) return;
    remember();
    change();
    edited('course');
  }

  // After any change: the chart, the check, the drive's files and the kept
  // work follow.
  function changed({settings = false, soon = false}) {
    $('undo').disabled = history.length === 0;
    $('redo').disabled = future.length === 0;
    if (settings) showSettings();
    if (!stroke) fitValues();
    if ($('arch').textContent !== String(arch())) $('arch').textContent = arch();
    drawSoon();
    check(soon);
    storeSoon();
  }

  // ---- What the game makes of it: the worker ---------------------------
  const worker = new Worker('workshop_worker.js');
  let checking = false;
  let checkTimer = 0;
  let checked = null;  // the last answer: given, course, settings, report, the course map

  // Asks the worker about the files as they are now, once it is free: it
  // reads only the newest.
  function check(soon) {
    if (soon && checkTimer > 0) return;
    clearTimeout(checkTimer);
    checkTimer = 0;
    if (checking) {
      checkTimer = -1;  // once the answer is in
      return;
    }
    if (soon) {
      checkTimer = setTimeout(() => check(false), kStrokeCheckGap);
      return;
    }
    if (settingNames.length === 0) return;  // the module is not in yet
    const files = gameFiles();
    checking = true;
    document.body.classList.add('checking');
    worker.postMessage({files, loads: {map: work.map.load, config: work.config.load}});
    if (driveFrame.contentWindow.racerPlay) driveFrame.contentWindow.racerPlay(files, false);
  }

  worker.onmessage = ({data}) => {
    if (data.failed) {
      $('check-state').textContent = 'The checks could not load: ' + data.failed;
      return;
    }
    if (data.settings) {
      [settingNames, builtIns] = [data.settings.map(s => s[0]), data.settings.map(s => s[1])];
      valueLimit = data.valueLimit;
      chart.setAttribute('aria-valuemin', -valueLimit);
      chart.setAttribute('aria-valuemax', valueLimit);
      ready();
      return;
    }
    checking = false;
    const lines = data.text.split('\n');
    const numbers = i => lines[i].split(' ').slice(1).map(Number);
    checked = {given: numbers(0), course: numbers(1), settings: numbers(2), strip: data.strip,
               diagnostics: Number(lines[3].split(' ')[1]), report: lines.slice(4).join('\n')};
    document.body.classList.remove('checking');
    // A file loaded: the work takes what the game read from it, if that
    // load is still the work's.
    let adopted = false;
    for (const kind of ['map', 'config']) {
      const load = data.loads[kind];
      if (load === 0 || work[kind].load !== load) continue;
      if (kind === 'map') work.course = [...checked.given];
      else work.settings = [...checked.settings];
      work[kind] = {...work[kind], load: 0};
      adopted = true;
    }
    if (adopted) changed({settings: true});
    showCheck();
    if (checkTimer === -1) check(false);
  };
  worker.onerror = event => {
    $('check-state').textContent = 'The checks stopped: ' + (event.message || 'an error in the worker');
  };

  function showCheck() {
    const n = checked.diagnostics;
    const laps = / {2}lap 2: (\d+) frames, ([\d.]+) s/.exec(checked.report);
    $('check-state').textContent =
        (n === 0 ? 'racer_check finds every line read as written' : `racer_check has ${n} thing${n > 1 ? 's' : ''} to say`) +
        (laps ? `; the autodrive laps in ${laps[2]} s.` : '; the autodrive cannot lap it.');
    $('report').textContent = checked.report;
    describeCursor();
    showStrip();
  }

  // ---- The course map beside the chart: the checked course's, or the
  // running game's with its car; the columns the course takes, at one pixel
  // a pixel.
  const stripContext = $('strip').getContext('2d');
  const kStripMargin = 12;
  const kStripLeast = 160;
  let stripColumns = [0, 640];
  // A band as readStrip has it. `fit`: the columns shown follow the
  // course's.
  function putStrip(band, fit) {
    if (fit) {
      const middle = band.left <= band.right ? (band.left + band.right) / 2 : band.width / 2;
      const width = Math.min(band.width, Math.max(kStripLeast, band.right - band.left + 1 + 2 * kStripMargin));
      stripColumns = [Math.round(Math.max(0, Math.min(band.width - width, middle - width / 2))), width];
    }
    const [x, width] = stripColumns;
    const canvas = $('strip');
    if (canvas.width !== width || canvas.height !== band.height) [canvas.width, canvas.height] = [width, band.height];
    stripContext.putImageData(new ImageData(band.pixels, band.width, band.height), -x, 0, x, 0, width, band.height);
  }
  function showStrip() {
    if (checked && carSection === null) putStrip(checked.strip, true);
  }

  // ---- The chart ---------------------------------------------------------
  const context = chart.getContext('2d');
  let view = {start: 0, span: kSections};  // the sections in sight
  let yLimit = 200;                         // the value at the top edge
  let cursor = 0;                           // the keyboard's section
  let carSection = null;                    // while a drive runs
  let drawPending = false;

  const arch = () => {
    const k = settingNames.indexOf('CORNER_ARCH');
    return Math.max(1, k >= 0 && work.settings.length > k ? work.settings[k] : 2);
  };
  const clampValue = v => Math.max(-valueLimit, Math.min(valueLimit, Math.round(v)));
  const clampSection = s => Math.max(0, Math.min(kSections - 1, Math.trunc(s)));
  // A field's whole number; 0 for none.
  const field = id => Math.round(Number($(id).value) || 0);
  const range = () => {
    const [a, b] = [clampSection(field('from')), clampSection(field('to'))];
    return a <= b ? [a, b] : [b, a];
  };

  function drawSoon() {
    if (drawPending) return;
    drawPending = true;
    requestAnimationFrame(draw);
  }

  // The top edge: the largest value written on a round step (the
  // smoothing only brings values closer), kept while a stroke draws so that
  // the pen does not slide.
  function fitValues() {
    let most = 100;
    for (const v of work.course) most = Math.max(most, Math.abs(v));
    yLimit = Math.ceil(most * 1.1 / 50) * 50;
  }

  // The chart's size in CSS pixels, kept as it changes: reading it would
  // lay the page out on every pointer move.
  let chartSize = [chart.clientWidth, chart.clientHeight];
  new ResizeObserver(([entry]) => {
    chartSize = [entry.contentRect.width, entry.contentRect.height];
    drawSoon();
  }).observe(chart);

  function geometry() {
    const [w, h] = chartSize;
    const middle = h / 2;
    const scale = (middle - 8) / yLimit;
    return {w, h, x: s => (s - view.start) * w / view.span, y: v => middle - v * scale,
            section: x => clampSection(Math.floor(view.start + x * view.span / w)),
            value: y => clampValue((middle - y) / scale)};
  }

  // What stays while a stroke draws (the selected range, the grid, the
  // game's line and the sections it moves) is drawn on a canvas of its own
  // under the chart's, which draws only the written line and the markers.
  const backdrop = $('backdrop');
  const backdropContext = backdrop.getContext('2d');
  let backdropKey = '';
  let backdropChecked = null;

  function drawBackdrop(g, ratio, first, last) {
    const [from, to] = range();
    const key = [backdrop.width, backdrop.height, ratio, view.start, view.span, yLimit, from, to].join();
    if (key === backdropKey && checked === backdropChecked) return;
    [backdropKey, backdropChecked] = [key, checked];
    const c = backdropContext;
    c.setTransform(ratio, 0, 0, ratio, 0, 0);
    c.fillStyle = '#000';
    c.fillRect(0, 0, g.w, g.h);
    c.fillStyle = '#234';
    c.fillRect(g.x(from), 0, g.x(to + 1) - g.x(from), g.h);
    c.fillStyle = '#555';
    c.font = '11px sans-serif';
    for (let s = 0; s <= kSections; s += view.span > 200 ? 100 : 20) {
      c.fillRect(Math.round(g.x(s)), 0, 1, g.h);
      c.fillText(String(s), g.x(s) + 2, g.h - 3);
    }
    c.fillText('+' + yLimit, 2, 11);
    c.fillRect(0, Math.round(g.y(0)), g.w, 1);
    if (!checked) return;
    const width = g.w / view.span;
    c.fillStyle = '#f44';
    for (let s = first; s <= last; ++s) {
      if (checked.given[s] !== checked.course[s]) c.fillRect(g.x(s), g.h - 18, Math.max(width, 1), 5);
    }
    c.strokeStyle = '#fc6';
    c.lineWidth = 2;
    c.beginPath();
    for (let s = first; s <= last; ++s) c.lineTo(g.x(s + 0.5), g.y(checked.course[s]));
    c.stroke();
  }

  function draw() {
    drawPending = false;
    const ratio = devicePixelRatio || 1;
    const g = geometry();
    const [pw, ph] = [Math.round(g.w * ratio), Math.round(g.h * ratio)];
    for (const canvas of [chart, backdrop]) {
      if (canvas.width !== pw || canvas.height !== ph) [canvas.width, canvas.height] = [pw, ph];
    }
    const first = Math.max(0, Math.floor(view.start));
    const last = Math.min(kSections - 1, Math.ceil(view.start + view.span));
    const width = g.w / view.span;
    drawBackdrop(g, ratio, first, last);
    const c = context;
    c.setTransform(ratio, 0, 0, ratio, 0, 0);
    c.clearRect(0, 0, g.w, g.h);

    // As written: a step for each section where a section is wide enough
    // to show one.
    c.strokeStyle = '#bbb';
    c.lineWidth = 1;
    c.beginPath();
    for (let s = first; s <= last; ++s) {
      const y = g.y(work.course[s]);
      if (width < 2) {
        c.lineTo(g.x(s + 0.5), y);
        continue;
      }
      c.lineTo(g.x(s), y);
      c.lineTo(g.x(s + 1), y);
    }
    c.stroke();
    // The keyboard's section and the car.
    if (document.activeElement === chart) {
      c.fillStyle = 'rgba(255, 255, 255, 0.35)';
      c.fillRect(g.x(cursor), 0, Math.max(width, 2), g.h);
    }
    if (carSection !== null) {
      c.fillStyle = '#9cf';
      c.fillRect(g.x(carSection) - 1, 0, Math.max(width, 3), g.h);
    }
  }

  // The sections between two pen points take the straight line between.
  function drawLine(from, to) {
    const n = Math.abs(to.s - from.s);
    for (let k = 0; k <= n; ++k) {
      const s = from.s + Math.sign(to.s - from.s) * k;
      work.course[s] = clampValue(n === 0 ? to.v : from.v + (to.v - from.v) * k / n);
    }
  }

  // A bend from `start`: it builds up from the value before it to `depth` in
  // steps of CORNER_ARCH, holds `hold` sections there, and unwinds in the
  // same steps to the value it meets after, so the smoothing leaves it as
  // laid. Sections count on round the loop. The values from `start` on, or
  // null when the bend and the section before it do not fit in one lap.
  function bendValues(start, depth, hold) {
    const a = arch();
    const c = work.course;
    const at = i => ((i % kSections) + kSections) % kSections;
    const toward = (from, target, steps) => {
      const out = [];
      for (let k = 1; k <= steps; ++k) out.push(from + Math.sign(target - from) * Math.min(k * a, Math.abs(target - from)));
      return out;
    };
    const stepsBetween = (x, y) => Math.max(0, Math.ceil(Math.abs(x - y) / a) - 1);
    const base = c[at(start - 1)];
    const values = [...toward(base, depth, stepsBetween(base, depth)), ...new Array(hold).fill(depth)];
    // The unwinding reaches the first section it can meet within a step.
    const end = start + values.length;
    let m = 0;
    while (values.length + m < kSections - 1 && stepsBetween(depth, c[at(end + m)]) > m) ++m;
    if (stepsBetween(depth, c[at(end + m)]) > m) return null;
    return [...values, ...toward(depth, c[at(end + m)], m)];
  }

  function layBendFromFields(start) {
    const depth = clampValue(field('depth'));
    const values = bendValues(start, depth, Math.max(0, Math.min(kSections, field('hold'))));
    if (values === null) {
      say(`A bend of ${depth} with ${field('hold')} sections at full depth does not fit in one lap ` +
          `at CORNER_ARCH ${arch()}.`);
      return;
    }
    courseEdit(() => values.forEach((v, k) => { work.course[(start + k) % kSections] = v; }));
  }

  function setRange(value) {
    const [from, to] = range();
    for (let s = from; s <= to; ++s) work.course[s] = clampValue(value);
  }

  // Move: the range comes out and goes in again from `target` on, the
  // sections between closing up. Copy: it is written over from `target` on,
  // round the loop.
  function moveRange(target, copy) {
    const [from, to] = range();
    const piece = work.course.slice(from, to + 1);
    if (copy) {
      piece.forEach((v, k) => { work.course[(target + k) % kSections] = v; });
      return;
    }
    const rest = [...work.course.slice(0, from), ...work.course.slice(to + 1)];
    const at = Math.min(target, rest.length);
    work.course = [...rest.slice(0, at), ...piece, ...rest.slice(at)];
  }

  // ---- Pointers on the chart: a finger, pen or mouse edits with the tool;
  // two fingers scroll and zoom.
  let tool = 'draw';
  const pointers = new Map();
  let stroke = null;  // {last: {s, v}} while a pointer edits
  let pinch = null;

  // Where the chart is on the screen, from a pointer's landing: the page
  // does not scroll under a pointer on the chart.
  let box = null;
  function point(event) {
    const g = geometry();
    return {s: g.section(event.clientX - box.left), v: g.value(event.clientY - box.top)};
  }

  function zoomAround(x, span) {
    const g = geometry();
    const at = view.start + x * view.span / g.w;
    view.span = Math.max(40, Math.min(kSections, span));
    view.start = Math.max(0, Math.min(kSections - view.span, at - x * view.span / g.w));
    drawSoon();
  }

  function pinchState() {
    const [a, b] = [...pointers.values()];
    return {x: (a.x + b.x) / 2 - box.left, d: Math.max(20, Math.abs(a.x - b.x)), start: view.start, span: view.span};
  }

  chart.addEventListener('pointerdown', event => {
    if (event.button !== 0) return;  // the main button, a pen's tip or a finger
    chart.setPointerCapture(event.pointerId);
    if (pointers.size === 0) box = chart.getBoundingClientRect();
    pointers.set(event.pointerId, {x: event.clientX});
    if (pointers.size === 2 && event.pointerType === 'touch') {
      // A second finger: what the first began was a scroll or a zoom.
      if (stroke && stroke.edited) {
        work = history.pop();
        changed({});
      }
      stroke = null;
      pinch = pinchState();
      return;
    }
    if (pointers.size > 1) return;
    const p = point(event);
    if (tool === 'select') {
      $('from').value = $('to').value = p.s;
      stroke = {select: true};
      drawSoon();
      return;
    }
    if (!editable()) return;
    // A finger's stroke waits until it moves or lifts, in case a second
    // finger follows; a bend is laid where the pointer lifts.
    stroke = {tool, first: p, last: p, edited: false};
    if (tool === 'draw' && event.pointerType !== 'touch') beginStroke();
  });

  function beginStroke() {
    remember();
    stroke.edited = true;
    drawLine(stroke.first, stroke.first);
    edited('course');
  }

  chart.addEventListener('pointermove', event => {
    if (!pointers.has(event.pointerId)) return;
    pointers.get(event.pointerId).x = event.clientX;
    if (pinch) {
      const now = pinchState();
      view.span = pinch.span;
      view.start = pinch.start - (now.x - pinch.x) * pinch.span / geometry().w;
      zoomAround(now.x, pinch.span * pinch.d / now.d);
      return;
    }
    if (!stroke || stroke.tool === 'bend') return;
    if (stroke.select) {
      $('to').value = point(event).s;
      drawSoon();
      return;
    }
    if (!stroke.edited) beginStroke();
    for (const e of event.getCoalescedEvents ? event.getCoalescedEvents() : [event]) {
      const p = point(e);
      drawLine(stroke.last, p);
      stroke.last = p;
    }
    work.map = {...work.map, bytes: null};
    changed({soon: true});
  });

  function lift(event) {
    if (!pointers.delete(event.pointerId)) return;
    if (pointers.size < 2) pinch = null;
    if (pointers.size > 0 || !stroke) return;
    const done = stroke;
    stroke = null;
    if (done.select) return;
    if (event.type === 'pointercancel') {
      if (done.edited) work = history.pop();
      changed({});
    } else if (done.tool === 'bend') {
      layBendFromFields(done.first.s);
    } else if (!done.edited) {
      stroke = done;  // a tap: one section
      beginStroke();
      stroke = null;
      changed({});
    } else {
      changed({});
    }
  }
  chart.addEventListener('pointerup', lift);
  chart.addEventListener('pointercancel', lift);

  chart.addEventListener('wheel', event => {
    if (event.ctrlKey) {
      event.preventDefault();
      zoomAround(event.clientX - chart.getBoundingClientRect().left, view.span * Math.exp(event.deltaY / 300));
    } else if (event.shiftKey || Math.abs(event.deltaX) > Math.abs(event.deltaY)) {
      event.preventDefault();
      const shift = (event.deltaX || event.deltaY) * view.span / geometry().w;
      view.start = Math.max(0, Math.min(kSections - view.span, view.start + shift));
      drawSoon();
    }
  }, {passive: false});

  // The keyboard on the chart: a section to pick, its value to change.
  chart.addEventListener('keydown', event => {
    const moves = {ArrowLeft: -1, ArrowRight: 1, Home: -kSections, End: kSections};
    const changes = {ArrowUp: 1, ArrowDown: -1, PageUp: 10, PageDown: -10};
    if (event.key in moves) {
      cursor = clampSection(cursor + moves[event.key]);
      if (event.shiftKey) $('to').value = cursor;
      else $('from').value = $('to').value = cursor;
      if (cursor < view.start || cursor >= view.start + view.span) {
        view.start = Math.max(0, Math.min(kSections - view.span, cursor - view.span / 2));
      }
    } else if (event.key in changes) {
      courseEdit(() => { work.course[cursor] = clampValue(work.course[cursor] + changes[event.key]); });
      $('value').value = work.course[cursor];
    } else {
      return;
    }
    event.preventDefault();
    describeCursor();
    drawSoon();
  });
  // The keyboard's section, as a slider has its value.
  function describeCursor() {
    chart.setAttribute('aria-valuenow', work.course[cursor]);
    chart.setAttribute('aria-valuetext', `Section ${cursor}: ${work.course[cursor]} as written` +
        (checked ? `, ${checked.course[cursor]} as the game makes it` : ''));
  }
  chart.addEventListener('focus', drawSoon);
  chart.addEventListener('blur', drawSoon);

  // ---- The tools' buttons -----------------------------------------------
  for (const name of ['draw', 'select', 'bend']) {
    $('tool-' + name).addEventListener('click', () => {
      tool = name;
      for (const other of ['draw', 'select', 'bend']) $('tool-' + other).setAttribute('aria-pressed', String(other === name));
    });
  }
  $('undo').addEventListener('click', undo);
  $('redo').addEventListener('click', redo);
  $('zoom-in').addEventListener('click', () => zoomAround(geometry().w / 2, view.span / 2));
  $('zoom-out').addEventListener('click', () => zoomAround(geometry().w / 2, view.span * 2));
  for (const id of ['from', 'to']) $(id).addEventListener('input', drawSoon);
  $('set').addEventListener('click', () => courseEdit(() => setRange(field('value'))));
  $('move').addEventListener('click', () => courseEdit(() => moveRange(clampSection(field('target')), false)));
  $('copy').addEventListener('click', () => courseEdit(() => moveRange(clampSection(field('target')), true)));
  $('lay').addEventListener('click', () => layBendFromFields(range()[0]));

  // Ctrl+Z and Ctrl+Shift+Z (or Ctrl+Y) everywhere but in a number field,
  // which has its own; Enter on the page or the chart drives.
  document.addEventListener('keydown', event => {
    const control = event.target.closest && event.target.closest('input, select, textarea, button');
    const key = event.key.toLowerCase();
    if ((event.ctrlKey || event.metaKey) && (key === 'z' || key === 'y')) {
      if (control && control.matches('input[type="number"]')) return;
      event.preventDefault();
      (key === 'y' || event.shiftKey ? redo : undo)();
    } else if (event.key === 'Enter' && (event.target === document.body || event.target === chart)) {
      event.preventDefault();
      drive();
    }
  });

  // ---- The settings -----------------------------------------------------
  const settingInputs = [];
  function buildSettings() {
    const body = $('settings').tBodies[0];
    settingNames.forEach((name, k) => {
      const row = body.insertRow();
      const head = document.createElement('th');
      head.scope = 'row';
      const label = Object.assign(document.createElement('label'), {htmlFor: 'setting-' + name, textContent: name});
      head.append(label);
      row.append(head);
      const number = Object.assign(document.createElement('input'), {type: 'number', id: 'setting-' + name, step: 1});
      const meaning = Object.assign(document.createElement('span'),
                                    {className: 'meaning', id: 'meaning-' + name,
                                     textContent: (meanings.get(name) || '') + ` (built-in ${builtIns[k]})`});
      number.setAttribute('aria-describedby', meaning.id);
      row.insertCell().append(number);
      const slider = document.createElement('input');
      if (kRanges[name]) {
        Object.assign(slider, {type: 'range', min: kRanges[name][0], max: kRanges[name][1], step: 1});
        slider.setAttribute('aria-label', name);
        slider.setAttribute('aria-describedby', meaning.id);
        row.insertCell().append(slider);
      } else {
        row.insertCell();
      }
      row.insertCell().append(meaning);
      // One undo step for a slider's whole slide.
      let sliding = false;
      // A whole number within 32 bits, as the game stores it; anything
      // else puts the field back.
      const take = (input, final) => {
        const value = Math.trunc(Number(input.value));
        if (input.value.trim() === '' || !Number.isFinite(value) || value < -2147483648 || value > 2147483647) {
          input.value = work.settings[k];
          return;
        }
        if (!editable()) {
          input.value = work.settings[k];
          return;
        }
        if (!sliding) remember();
        sliding = !final;
        work.settings[k] = value;
        (input === number ? slider : number).value = value;
        edited('settings');
      };
      number.addEventListener('change', () => take(number, true));
      slider.addEventListener('input', () => take(slider, false));
      slider.addEventListener('change', () => { sliding = false; });
      settingInputs.push([number, slider]);
    });
  }
  function showSettings() {
    settingInputs.forEach(([number, slider], k) => {
      if (work.settings[k] === undefined) return;
      number.value = work.settings[k];
      slider.value = work.settings[k];
    });
  }

  // ---- Files: loading, saving, keeping ----------------------------------
  function say(text) {
    $('said').textContent = text;
  }

  // Loads `files` ({map, config}: bytes) as the game would read them; the
  // work takes what the worker answers.
  function load(files, what) {
    remember();
    if (files.map) work.map = sourceOf(files.map, mapKey, ++loads);
    if (files.config) work.config = sourceOf(files.config, configKey(settingNames), ++loads);
    say('Loaded ' + what + '.');
    changed({});
  }

  async function loadShipped() {
    const [config, map] = await Promise.all([fetchBytes('data/config.txt'), fetchBytes('data/map.txt')]);
    load({config, map}, 'the shipped config.txt and map.txt');
  }

  // The player's files, named as the game pages take them; a backup's
  // name loads as its file. A file larger than any course or settings
  // file is not read.
  const kMostBytes = 1 << 20;
  async function loadFromDisk(fileList) {
    const files = {};
    const from = {};
    for (const file of fileList) {
      const kind = playerFileRole(file.name).replace(/(_bak)?\.txt$/, '');
      if (!kind) continue;
      if (from[kind]) {
        say(`Two ${kind} files: ${from[kind]} and ${file.name}. Load one of them.`);
        return;
      }
      if (file.size > kMostBytes) {
        say(`${file.name} is larger than a megabyte: no ${kind} file is.`);
        return;
      }
      try {
        files[kind] = new Uint8Array(await file.arrayBuffer());
        from[kind] = file.name;
      } catch {
        // a folder: nothing to read
      }
    }
    if (Object.keys(from).length === 0) say('Neither a config nor a map file among them.');
    else load(files, Object.values(from).join(' and '));
  }

  function download(name, text) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytesOf(text)], {type: 'text/plain'}));
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    say('Saved ' + name + '.');
  }

  $('save-map').addEventListener('click', () => download('map.txt', mapText()));
  $('save-config').addEventListener('click', () => download('config.txt', configText()));
  $('load-shipped').addEventListener('click', () => loadShipped().catch(error => say(String(error.message))));
  $('load-course').addEventListener('click', () => {
    const choice = $('courses').selectedOptions[0];
    fetchBytes($('courses').value).then(map => load({map}, choice.textContent))
        .catch(error => say(String(error.message)));
  });
  $('load-straight').addEventListener('click', () => courseEdit(() => {
    work.course = new Array(kSections).fill(0);
    work.map = source();
    say('A straight course.');
  }));
  takePlayerFiles($('files'), loadFromDisk);
  // Dropped on the game's frame.
  addEventListener('message', event => {
    if (event.source === driveFrame.contentWindow && event.data.droppedFiles) loadFromDisk(event.data.droppedFiles);
  });

  // The work in the browser's storage, so that a reload or a visit without
  // the network goes on from it.
  let storeTimer = 0;
  function storeSoon() {
    clearTimeout(storeTimer);
    storeTimer = setTimeout(store, 300);
  }
  const keptSource = src => ({header: src.header, kept: [...src.kept], footer: src.footer,
                              bytes: src.bytes && textOf(src.bytes)});
  const restoredSource = src => source(src.header, new Map(src.kept), src.footer ?? [],
                                       src.bytes === null ? null : bytesOf(src.bytes));
  function store() {
    if (loading()) return;  // once what was loaded is read
    try {
      localStorage.setItem(kStoreKey, JSON.stringify({course: work.course, settings: work.settings,
                                                      map: keptSource(work.map), config: keptSource(work.config)}));
    } catch (error) {
      say('Your work could not be kept in the browser: ' + error.message);
    }
  }
  addEventListener('pagehide', store);
  function restore() {
    try {
      const kept = JSON.parse(localStorage.getItem(kStoreKey));
      if (!kept || kept.course.length !== kSections || kept.settings.length !== settingNames.length) return false;
      work = {course: kept.course, settings: kept.settings, map: restoredSource(kept.map),
              config: restoredSource(kept.config)};
      return true;
    } catch {
      return false;
    }
  }

  // ---- Driving -----------------------------------------------------------
  const game = () => driveFrame.contentWindow;
  function drive() {
    if (!game().racerPlay) return;
    game().racerPlay(gameFiles(), true);
    driveFrame.scrollIntoView({block: 'nearest'});
    driveFrame.focus();
    follow();
  }
  $('drive').addEventListener('click', drive);

  // While the game runs, the car's section on the chart and the running
  // game's course map, with its car, beside it; a test mode's last frame
  // keeps them where it stopped.
  let following = false;
  let stripRow = -1;
  function follow() {
    if (following) return;
    following = true;
    const frame = () => {
      const racer = game().racer;
      const state = racer ? game().document.body.dataset.state : '';
      const shown = state === 'running' || state === 'pictured';
      const section = shown ? Math.floor(racer._web_car_position() / 1024) : null;
      if (section !== carSection) {
        carSection = section;
        drawSoon();
      }
      if (shown && Math.floor(section / 4) !== stripRow) {
        stripRow = Math.floor(section / 4);
        putStrip(readStrip(racer, racer._web_run_strip()), false);
      }
      if (state === 'running') {
        requestAnimationFrame(frame);
        return;
      }
      following = false;
      stripRow = -1;
      showStrip();
    };
    requestAnimationFrame(frame);
  }
  // The frame's page in test mode when this one is (?script=URL&frame=N).
  if (address.has('script')) {
    driveFrame.src = 'racer_window.html?embedded&' +
        new URLSearchParams({script: address.get('script'), frame: address.get('frame')});
  }
  driveFrame.addEventListener('load', () => {
    if (settingNames.length > 0 && game().racerPlay) game().racerPlay(gameFiles(), false);
    // Started again from inside (Enter), or ended.
    new MutationObserver(follow).observe(game().document.body, {attributes: true, attributeFilter: ['data-state']});
  });

  // ---- Start -------------------------------------------------------------
  // Once the module is in (the worker sends the settings' names): the
  // meanings from the shipped settings' notes, then the work kept from
  // before, or the shipped files.
  async function ready() {
    try {
      for (const line of textOf(await fetchBytes('data/config.txt')).split('\n')) {
        const m = /^([A-Z_]+)[ \t]+-?\d+[ \t]*#[ \t]*(.*?)\r?$/.exec(line);
        if (m) meanings.set(m[1], m[2]);
      }
    } catch {
      // no meanings without the shipped file
    }
    buildSettings();
    if (restore()) {
      say('Your work from before.');
      changed({settings: true});
    } else {
      work.settings = [...builtIns];
      await loadShipped().catch(error => say(String(error.message)));
      history.length = 0;
      changed({});
    }
  }

  addEventListener('resize', drawSoon);
  if (navigator.serviceWorker) navigator.serviceWorker.register('sw.js').catch(() => {});
  // For the tests: the work, the last answer, the view, and whether an
  // answer is still to come.
  window.workshop = {
    get work() { return work; }, get checked() { return checked; }, get view() { return view; },
    get busy() { return checking || checkTimer !== 0 || loading(); },
  };
})();
