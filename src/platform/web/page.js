// The page around the game: loads the module, hands it its files, the keys,
// the first gamepad and the animation frames, and says what became of the
// game. With ?script=URL&frame=N in its address it runs the test mode: the
// script's keys instead of the keyboard, stopping after frame N.
'use strict';
(function () {
  const fullScreen = document.body.dataset.program === 'fullscreen';
  const stage = document.getElementById('stage');
  const canvas = document.getElementById('screen');
  const status = document.getElementById('status');
  const address = new URLSearchParams(location.search);
  const testFrame = address.has('script') ? Number(address.get('frame')) : 0;

  const kDataFiles = ['config.txt', 'config_bak.txt', 'map.txt', 'map_bak.txt'];
  const kEscape = 0x1b;
  // The game's keys, from the module: KeyboardEvent.key in upper case to
  // the virtual-key code.
  let keyCodes = new Map();

  let racer = null;
  let running = false;

  function say(text, state) {
    status.textContent = text;
    document.body.dataset.state = state;
  }

  // Letters by their meaning in the player's layout, as virtual keys are.
  function virtualKey(event) {
    return keyCodes.get(event.key.toUpperCase()) || 0;
  }

  function pollGamepad() {
    const pad = navigator.getGamepads ? Array.from(navigator.getGamepads()).find(p => p) : null;
    if (!pad) {
      racer._web_gamepad(0, 0, 0);
      return;
    }
    let buttons = 0;
    for (let i = 0; i < 4 && i < pad.buttons.length; ++i) {
      if (pad.buttons[i].pressed) buttons |= 1 << i;
    }
    racer._web_gamepad(1, pad.axes.length > 0 ? pad.axes[0] : 0, buttons);
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
    if (state === 1) say('The game has ended. Reload the page or pick files to play again.', 'ended');
    if (state === 2) say('Test mode: frame ' + testFrame + ' is on the canvas.', 'pictured');
  }

  // Equal whole pixels, as large as the window allows; in full screen the
  // stylesheet scales it up, still square.
  function fitCanvas() {
    const room = Math.min(innerWidth / 640, (innerHeight - 140) / 480);
    const scale = Math.max(1, Math.floor(room));
    canvas.style.width = 640 * scale + 'px';
    canvas.style.height = 480 * scale + 'px';
  }

  // `files` maps the game's file names to their bytes; the game reads them
  // from its current directory when its first frame starts.
  function start(files) {
    for (const name of kDataFiles) {
      if (racer.FS.analyzePath(name).exists) racer.FS.unlink(name);
    }
    for (const [name, bytes] of files) racer.FS.writeFile(name, bytes);
    if (racer._web_start(fullScreen ? 1 : 0, testFrame) === 0) {
      running = false;
      say('The game could not start.', 'failed');
      return;
    }
    say(fullScreen ? 'Click or press a key for the full screen.' : '', 'running');
    if (!running) {
      running = true;
      requestAnimationFrame(tick);
    }
  }

  async function fetchBytes(url) {
    const response = await fetch(url);
    if (!response.ok) throw new Error(url + ': ' + response.status);
    return new Uint8Array(await response.arrayBuffer());
  }

  // The player's own files, by the start of their names: `config` the
  // settings, `map` the course, each a .txt or without an extension. The
  // game's own four names keep theirs, so that a backup stays a backup.
  // Two files for one name start nothing; a folder is left out.
  async function startWith(fileList) {
    const files = new Map();
    const from = new Map();
    const left = [];
    for (const file of fileList) {
      const name = file.name.toLowerCase();
      const kind = /^(config|map)[^.]*(\.txt)?$/.exec(name);
      const role = kDataFiles.includes(name) ? name : kind ? kind[1] + '.txt' : '';
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
    start(files);
  }

  document.addEventListener('keydown', event => {
    if (event.ctrlKey || event.metaKey || event.altKey) return;  // the browser's own shortcuts
    const key = virtualKey(event);
    if (fullScreen && key !== kEscape && !document.fullscreenElement) enterFullScreen();
    if (!racer || key === 0) return;
    event.preventDefault();
    racer._web_key(key, 1, event.repeat ? 1 : 0);
  });
  document.addEventListener('keyup', event => {
    const key = virtualKey(event);
    if (racer && key !== 0) racer._web_key(key, 0, 0);
  });
  addEventListener('blur', () => racer && racer._web_blur());

  // A page may not take the screen by itself: it asks on a click or a key.
  // With the keyboard locked, Escape reaches the game instead of only
  // leaving the full screen.
  function enterFullScreen() {
    if (!running || !stage.requestFullscreen) return;
    stage.requestFullscreen().then(() => {
      if (navigator.keyboard && navigator.keyboard.lock) return navigator.keyboard.lock(['Escape']);
    }).catch(() => {});
  }
  if (fullScreen) stage.addEventListener('click', enterFullScreen);

  document.getElementById('files').addEventListener('change', event => startWith(event.target.files));
  addEventListener('dragover', event => {
    event.preventDefault();
    document.body.classList.add('dragging');
  });
  addEventListener('dragleave', () => document.body.classList.remove('dragging'));
  addEventListener('drop', event => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    startWith(event.dataTransfer.files);
  });

  addEventListener('resize', fitCanvas);
  fitCanvas();

  createRacer({
    canvas: canvas,
    onWindow: shown => { canvas.hidden = !shown; },
    onPresent: () => {
      if (performance.getEntriesByName('first-picture').length === 0) performance.mark('first-picture');
    },
  }).then(async module => {
    racer = module;
    window.racer = module;
    keyCodes = new Map(racer.UTF8ToString(racer._web_key_names()).trim().split('\n')
                           .map(line => line.split(' ')).map(([key, code]) => [key, Number(code)]));
    const files = new Map([['config.txt', await fetchBytes('data/config.txt')],
                           ['map.txt', await fetchBytes('data/map.txt')]]);
    if (testFrame > 0) racer.FS.writeFile('/tmp/script.txt', await fetchBytes(address.get('script')));
    start(files);
  }).catch(error => say('The game could not be loaded: ' + error.message, 'failed'));
})();
