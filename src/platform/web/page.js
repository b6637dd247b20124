// The page around the game: loads the module, hands it its files (and says
// what racer_check's own code makes of the player's), the keys (from the
// keyboard or the touch controls), the first gamepad and the animation
// frames, fits the picture to the screen, and says what became of the game.
// With ?script=URL&frame=N in its address it runs the test mode: the
// script's keys instead of the keyboard, stopping after frame N. With
// ?embedded it is the course workshop's drive: only the game, on the files
// the workshop hands it (racerPlay), started again by Enter.
'use strict';
(function () {
  const fullScreen = document.body.dataset.program === 'fullscreen';
  const stage = document.getElementById('stage');
  const canvas = document.getElementById('screen');
  const view = document.getElementById('view');
  const status = document.getElementById('status');
  const notice = document.getElementById('notice');
  const again = document.getElementById('again');
  const address = new URLSearchParams(location.search);
  const testFrame = address.has('script') ? Number(address.get('frame')) : 0;
  const embedded = address.has('embedded');
  document.body.classList.toggle('embedded', embedded);

  // The game's keys, from the module: KeyboardEvent.key in upper case to
  // the virtual-key code.
  let keyCodes = new Map();

  // The touch controls, a column for each thumb: the keys a tap presses at
  // the top, the ones a thumb holds at the bottom. [key, face, what it does]
  // Esc, which ends the game, comes last and takes a second's hold.
  const kHands = {
    'left-hand': {
      taps: [['B', 'B', 'Halve the speed'], ['S', 'S', 'Raise the top speed'], ['D', 'D', 'Debug readouts'],
             ['M', 'M', 'Course map']],
      holds: [['ArrowLeft', '◀', 'Steer left'], ['ArrowRight', '▶', 'Steer right']],
    },
    'right-hand': {
      taps: [['G', 'G', 'Ghost'], ['O', 'O', 'Overhead bars'], ['I', 'I', 'Speed label size'],
             ['C', 'C', 'Background shade'], ['Escape', 'Esc', 'hold to leave the game']],
      holds: [['ArrowUp', '▲', 'Throttle'], ['ArrowDown', '▼', 'Brake']],
    },
  };
  const kHoldToLeave = 1000;  // ms
  // CSS pixels, as the stylesheet has them: a column's width, and the
  // taller one's height at its least (three rows of keys, the pedals); the
  // status line's strip under the picture.
  const kHandWidth = 120;
  const kHandsLeast = 3 * 48 + 2 * 8 + 8 + 64;
  const kGap = 8;
  const kStatusRow = 28;
  // Below this share of the room, a whole number of device pixels a game
  // pixel leaves the picture too small on a phone: it fills the room instead.
  const kLeastWholeShare = 0.7;

  let racer = null;
  let running = false;

  function say(text, state) {
    status.textContent = text;
    const changed = document.body.dataset.state !== state;
    document.body.dataset.state = state;
    again.hidden = state !== 'ended';
    if (changed) layout();
  }

  // A word that goes by itself after a few seconds, unless another came.
  let hintTimer = 0;
  function hint(text) {
    const state = document.body.dataset.state;
    const before = status.textContent;
    say(text, state);
    clearTimeout(hintTimer);
    hintTimer = setTimeout(() => {
      if (status.textContent === text && document.body.dataset.state === state) say(before, state);
    }, 3000);
  }

  // A key's virtual key by its name as KeyboardEvent.key has it; letters by
  // their meaning in the player's layout, as virtual keys are.
  function virtualKey(name) {
    return keyCodes.get(name.toUpperCase()) || 0;
  }

  // Every key the game hears, from the keyboard or a touch control.
  function press(key, down, repeat) {
    if (racer && key !== 0) racer._web_key(key, down ? 1 : 0, repeat ? 1 : 0);
  }

  function pollGamepad() {
    const pad = navigator.getGamepads ? Array.from(navigator.getGamepads()).find(p => p) : null;
    if (!pad) {
      racer._web_gamepad(0, 0, 0);
      return;
    }
    // Buttons 1 to 4 are the pad's first four: with the standard mapping
    // the face buttons south, east, west and north (A, B, X, Y), as every
    // platform reads them; its d-pad's left and right (14 and 15) steer,
    // over the stick.
    const held = i => i < pad.buttons.length && pad.buttons[i].pressed;
    let buttons = 0;
    for (let i = 0; i < 4; ++i) {
      if (held(i)) buttons |= 1 << i;
    }
    let x = pad.axes.length > 0 ? pad.axes[0] : 0;
    if (pad.mapping === 'standard' && held(14) !== held(15)) x = held(14) ? -1 : 1;
    racer._web_gamepad(1, x, buttons);
  }

  function tick(now) {
    if (!running) return;
    pollGamepad();
    const state = racer._web_tick(now);
    if (state === 0) {
      requestAnimationFrame(tick);
      return;
    }
    running = false;
    if (state === 1) say('The game has ended.', 'ended');
    if (state === 2) say('Test mode: frame ' + testFrame + ' is on the canvas.', 'pictured');
  }

  // The picture in two steps: a whole number of 2 or more with square
  // pixels into the second canvas, which the browser scales in one smooth
  // step to its size.
  let scaled = false;
  const scaler = makeScaler(view);
  const drawScaled = frame => {
    if (scaled) scaler.draw(frame, canvas);
  };

  // The picture's size in device pixels within a room of w by h of them:
  // the largest whole number of device pixels a game pixel; where that
  // leaves the picture small against the room on a touch screen (a phone
  // held upright), in full screen, or on a screen too small for one, the
  // room's height (or width, if narrower than 4:3) as the native
  // full-screen program fills it.
  function pictureSize(w, h, full, touch) {
    const factor = Math.floor(Math.min(w / 640, h / 480));
    const fillHeight = w * 480 >= h * 640;
    const width = fillHeight ? Math.round(h * 640 / 480) : w;
    const height = fillHeight ? h : Math.round(w * 480 / 640);
    if (!full && factor >= 1 && (!touch || 640 * factor >= kLeastWholeShare * width)) {
      return {width: 640 * factor, height: 480 * factor, factor};
    }
    return {width, height, factor};
  }

  function place(element, x, y, width, height) {
    element.style.left = x + 'px';
    element.style.top = y + 'px';
    element.style.width = width + 'px';
    element.style.height = height + 'px';
  }

  // Lays out the picture and the controls on whole device pixels: the
  // controls beside the picture on a screen wider than tall, under it
  // otherwise, never over it; the status under the picture (on a touch
  // screen in a strip of its own), or where the picture was once it is gone.
  function layout() {
    const ratio = devicePixelRatio || 1;
    const full = document.fullscreenElement === stage;
    const width = full ? innerWidth : document.documentElement.clientWidth;
    const height = innerHeight;
    const touch = document.body.classList.contains('touch');
    const beside = touch && width > height;
    const column = kHandWidth + 2 * kGap;
    const roomX = beside ? column : 0;
    const roomWidth = beside ? width - 2 * column : width;
    const statusRow = touch && !full ? kStatusRow : 0;
    const roomHeight = (touch && !beside ? height - kHandsLeast - kGap : height) - statusRow;
    const room = [Math.floor(roomWidth * ratio), Math.floor(Math.max(roomHeight, 0) * ratio)];
    const size = pictureSize(room[0], room[1], full, touch);
    const x = Math.round(roomX * ratio) + Math.floor((room[0] - size.width) / 2);
    const y = full || beside ? Math.floor((room[1] - size.height) / 2) : 0;
    const bottom = (y + size.height) / ratio;
    const handsLeast = beside ? kHandsLeast + 2 * kGap : bottom + statusRow + 2 * kGap + kHandsLeast;
    const stageHeight = full ? height : touch ? Math.max(height, handsLeast) : bottom + kStatusRow;
    stage.style.height = full ? '' : stageHeight + 'px';

    // Smooth where not whole; a second canvas for the whole step of 2 or more.
    const whole = size.width === 640 * size.factor;
    scaled = !whole && size.factor >= 2;
    stage.classList.toggle('scaled', scaled);
    canvas.classList.toggle('smooth', !whole);
    if (scaled && (view.width !== 640 * size.factor || view.height !== 480 * size.factor)) {
      view.width = 640 * size.factor;
      view.height = 480 * size.factor;
    }
    drawScaled(null);
    // A transform rather than a size: layout would round the size to a
    // 64th of a pixel, and a picture a hair too small drops a column.
    for (const picture of [canvas, view]) {
      picture.style.width = picture.width + 'px';
      picture.style.height = picture.height + 'px';
      picture.style.transform = `translate(${x / ratio}px, ${y / ratio}px) ` +
          `scale(${size.width / ratio / picture.width}, ${size.height / ratio / picture.height})`;
    }

    // The status under the picture, but never below the screen's edge; once
    // the game is gone, where its picture was.
    const box = [x / ratio, y / ratio, size.width / ratio, size.height / ratio];
    if (canvas.hidden && ['ended', 'failed'].includes(document.body.dataset.state)) {
      place(notice, ...box);
    } else {
      place(notice, box[0], Math.min(bottom, height - kStatusRow), box[2], kStatusRow);
    }

    const handsTop = beside ? kGap : bottom + statusRow + kGap;
    const handsHeight = stageHeight - handsTop - kGap;
    place(document.getElementById('left-hand'), kGap, handsTop, kHandWidth, handsHeight);
    place(document.getElementById('right-hand'), width - kHandWidth - kGap, handsTop, kHandWidth, handsHeight);
    document.body.classList.add('placed');
  }

  // A key pressed and let go at once.
  function tap(name) {
    press(virtualKey(name), true, false);
    press(virtualKey(name), false, false);
  }

  // A touch control of the game's key `name`: `down` when a finger lands on
  // it, `lifted` when one leaves it. Activated by a screen reader or the
  // keyboard, which choose deliberately: a tap of the key.
  const releases = [];
  function touchControl(name, label, parent, down, lifted) {
    const button = document.createElement('button');
    button.type = 'button';
    button.setAttribute('aria-label', label);
    button.addEventListener('pointerdown', event => {
      event.preventDefault();
      // A touch keeps to the control it started on unless let go.
      if (button.hasPointerCapture(event.pointerId)) button.releasePointerCapture(event.pointerId);
      down(event);
    });
    for (const type of ['pointerup', 'pointercancel', 'pointerleave']) button.addEventListener(type, lifted);
    button.addEventListener('click', event => {
      if (event.detail === 0) tap(name);
    });
    button.addEventListener('contextmenu', event => event.preventDefault());
    parent.appendChild(button);
    return button;
  }

  // A control held by any number of fingers, and a thumb may slide from
  // one control onto the next: the key is down while a finger is on it.
  function makeControl(name, face, does, parent) {
    const fingers = new Set();
    const update = () => {
      const held = fingers.size > 0;
      if (held === (button.getAttribute('aria-pressed') === 'true')) return;
      button.setAttribute('aria-pressed', String(held));
      press(virtualKey(name), held, false);
    };
    const button = touchControl(name, face === name ? `${does} (${name})` : does, parent, event => {
      fingers.add(event.pointerId);
      update();
    }, event => {
      fingers.delete(event.pointerId);
      update();
    });
    button.textContent = face;
    button.setAttribute('aria-pressed', 'false');
    button.addEventListener('pointerenter', event => {
      if (event.buttons === 0) return;
      fingers.add(event.pointerId);
      update();
    });
    releases.push(() => {
      fingers.clear();
      button.setAttribute('aria-pressed', 'false');
    });
  }

  // Esc on a touch screen: one stray tap must not end the game, so it takes
  // a finger held on it for a second, its fill growing meanwhile.
  function makeLeaveControl(name, face, does, parent) {
    let timer = 0;
    const stop = () => {
      clearTimeout(timer);
      timer = 0;
      button.classList.remove('holding');
    };
    const button = touchControl(name, `${face}: ${does}`, parent, () => {
      if (timer !== 0) return;
      button.classList.add('holding');
      timer = setTimeout(() => {
        stop();
        tap(name);
      }, kHoldToLeave);
    }, () => {
      if (timer === 0) return;
      stop();
      if (running) hint('Hold Esc for a second to leave the game.');
    });
    button.className = 'leave';
    button.append(Object.assign(document.createElement('span'), {textContent: face}));
    releases.push(stop);
  }

  for (const [id, hand] of Object.entries(kHands)) {
    const column = document.getElementById(id);
    const taps = document.createElement('div');
    const holds = document.createElement('div');
    holds.className = 'thumbs';
    for (const [name, face, does] of hand.taps) {
      (name === 'Escape' ? makeLeaveControl : makeControl)(name, face, does, taps);
    }
    for (const [name, face, does] of hand.holds) makeControl(name, face, does, holds);
    column.append(taps, holds);
  }

  // The controls show on a screen whose pointer is a finger, or from its
  // first touch.
  function showTouchControls() {
    if (document.body.classList.contains('touch')) return;
    document.body.classList.add('touch');
    layout();
  }
  if (matchMedia('(pointer: coarse)').matches) document.body.classList.add('touch');
  addEventListener('touchstart', showTouchControls, {capture: true, passive: true});

  // The game's data files, by the game's names: the shipped config.txt and
  // map.txt until the player picks others. A pick replaces the files of the
  // names it gives and keeps the rest, as files copied into a folder would.
  const inUse = new Map();
  let picked = [];  // the names of the player's files among them

  // A run of the game on the files in use, read from its current directory
  // when its first frame starts.
  function start() {
    putGameFiles(racer, inUse);
    if (racer._web_start(fullScreen ? 1 : 0, testFrame) === 0) {
      running = false;
      say('The game could not start.', 'failed');
      return;
    }
    const ask = document.body.classList.contains('touch') ? 'Tap the picture' : 'Click or press a key';
    say(fullScreen ? ask + ' for the full screen.' : '', 'running');
    layout();
    if (!running) {
      running = true;
      requestAnimationFrame(tick);
    }
  }

  // What racer_check's code says of the files in use, with the names of
  // those the player picked.
  function showCheck() {
    const lines = racer.UTF8ToString(racer._web_check()).split('\n').filter(line => line !== '');
    const kept = [...inUse.keys()].filter(name => !picked.includes(name));
    const list = document.getElementById('checked-lines');
    document.getElementById('checked-files').textContent =
        'Your files: ' + picked.join(', ') + (kept.length > 0 ? ', with ' + kept.join(', ') + ' as before' : '') +
        '. ' + (lines.length === 0 ? 'racer_check finds every line read as written.'
                                   : 'What racer_check says of them:');
    list.replaceChildren(...lines.map(line => Object.assign(document.createElement('li'), {textContent: line})));
    list.hidden = lines.length === 0;
    document.getElementById('checked').hidden = false;
  }

  // The player's own files, by their names (playerFileRole). Two files for
  // one name start nothing; a folder is left out.
  async function startWith(fileList) {
    const files = new Map();
    const from = new Map();
    const left = [];
    for (const file of fileList) {
      const role = playerFileRole(file.name);
      if (!role) {
        left.push(file.name);
        continue;
      }
      if (from.has(role)) {
        say('Two files for ' + role + ': ' + from.get(role) + ' and ' + file.name + '. Pick one of them.',
            document.body.dataset.state);
        return;
      }
      try {
        files.set(role, new Uint8Array(await file.arrayBuffer()));
        from.set(role, file.name);
      } catch {
        left.push(file.name + ' (a folder: pick the files in it)');
      }
    }
    if (files.size === 0) {
      say('Neither a config nor a map file: ' + left.join(', '), document.body.dataset.state);
      return;
    }
    for (const [role, bytes] of files) inUse.set(role, bytes);
    picked = [...files.keys()];
    if (!racer) return;  // the module starts on them once loaded
    start();
    showCheck();
  }

  // The workshop's files, in place of all in use; the game starts on them
  // now or, without `restart`, at the next Enter.
  let playWhenLoaded = false;
  window.racerPlay = (files, restart = true) => {
    inUse.clear();
    for (const [name, bytes] of files) inUse.set(name, bytes);
    if (!restart) return;
    if (racer) start();
    else playWhenLoaded = true;
  };

  document.addEventListener('keydown', event => {
    if (event.ctrlKey || event.metaKey || event.altKey) return;  // the browser's own shortcuts
    if (embedded && event.key === 'Enter' && racer && inUse.size > 0) {
      event.preventDefault();
      start();
      return;
    }
    const key = virtualKey(event.key);
    if (fullScreen && key !== keyCodes.get('ESCAPE') && !document.fullscreenElement) enterFullScreen();
    if (!running || key === 0) return;
    event.preventDefault();
    press(key, true, event.repeat);
  });
  document.addEventListener('keyup', event => press(virtualKey(event.key), false, false));
  addEventListener('blur', () => {
    for (const release of releases) release();
    if (racer) racer._web_blur();
  });

  // A page may not take the screen by itself: it asks on a click or a key,
  // or on a phone a tap on the picture, and turns the phone sideways where
  // the browser lets it. With the keyboard locked, Escape reaches the game
  // instead of only leaving the full screen.
  function enterFullScreen() {
    if (!running || !stage.requestFullscreen) return;
    stage.requestFullscreen({navigationUI: 'hide'}).then(() => {
      if (screen.orientation && screen.orientation.lock) screen.orientation.lock('landscape').catch(() => {});
      if (navigator.keyboard && navigator.keyboard.lock) return navigator.keyboard.lock(['Escape']);
    }).catch(() => {});
  }
  for (const picture of [canvas, view]) {
    picture.addEventListener('click', () => {
      if (fullScreen || document.body.classList.contains('touch')) enterFullScreen();
    });
  }
  again.addEventListener('click', () => {
    if (racer && !running) start();
  });

  // In the workshop the files go to the workshop.
  takePlayerFiles(document.getElementById('files'),
                  embedded ? files => parent.postMessage({droppedFiles: [...files]}, location.origin) : startWith);

  addEventListener('resize', layout);
  // A scrollbar coming or going narrows the page without a resize.
  let pageWidth = 0;
  new ResizeObserver(() => {
    if (document.body.clientWidth !== pageWidth) layout();
    pageWidth = document.body.clientWidth;
  }).observe(document.body);
  document.addEventListener('fullscreenchange', layout);
  layout();

  // Kept for the next visit, and for playing without the network.
  if (navigator.serviceWorker) navigator.serviceWorker.register('sw.js').catch(() => {});

  // The files on their way while the module loads and compiles.
  const shipped = Promise.all([fetchBytes('data/config.txt'), fetchBytes('data/map.txt'),
                               testFrame > 0 ? fetchBytes(address.get('script')) : null]);
  // The module's script comes after this one, so that the page is laid
  // out before it loads.
  document.addEventListener('DOMContentLoaded', () => createRacer({
    canvas: canvas,
    onWindow: shown => {
      canvas.hidden = !shown;
      layout();
    },
    onPresent: frame => {
      if (performance.getEntriesByName('first-picture').length === 0) performance.mark('first-picture');
      drawScaled(frame);
    },
  }).then(async module => {
    racer = module;
    window.racer = module;
    keyCodes = new Map(racer.UTF8ToString(racer._web_key_names()).trim().split('\n')
                           .map(line => line.split(' ')).map(([key, code]) => [key, Number(code)]));
    const [config, map, script] = await shipped;
    if (script) racer.FS.writeFile('/tmp/script.txt', script);
    if (embedded) {
      if (playWhenLoaded) start();
      else say('Drive, or Enter here, starts the game on the course.', 'waiting');
      return;
    }
    for (const [name, bytes] of [['config.txt', config], ['map.txt', map]]) {
      if (!inUse.has(name)) inUse.set(name, bytes);
    }
    start();
    if (picked.length > 0) showCheck();
  }).catch(error => say('The game could not be loaded: ' + (error.message || error), 'failed')));
})();
