// The browser's side of browser.h: what the layer asks of the page's
// canvas, Web Audio, fullscreen and alert. The page (page.js) hands the
// module its canvas and hears of the window through Module.onWindow, of
// each frame shown through Module.onPresent.
mergeInto(LibraryManager.library, {
  racer_canvas_open: function () {
    const canvas = Module['canvas'];
    const context = canvas ? canvas.getContext('2d', {alpha: false}) : null;
    if (!context) return 0;
    canvas.width = 640;
    canvas.height = 480;
    Module.racerContext = context;
    return 1;
  },

  racer_present: function (rgba) {
    const frame = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, 640 * 480 * 4), 640, 480);
    Module.racerContext.putImageData(frame, 0, 0);
    if (Module['onPresent']) Module['onPresent'](frame);
  },

  racer_show_window: function (shown) {
    if (Module['onWindow']) Module['onWindow'](shown !== 0);
  },

  racer_show_cursor: function (shown) {
    if (Module['canvas']) Module['canvas'].style.cursor = shown ? '' : 'none';
  },

  racer_leave_fullscreen: function () {
    if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
  },

  racer_alert: function (text, caption) {
    const head = UTF8ToString(caption);
    const body = UTF8ToString(text);
    alert(head ? head + '\n\n' + body : body);
  },

  racer_audio_open: function () {
    const AudioContext = window.AudioContext || window.webkitAudioContext;
    if (!AudioContext) return 1;
    try {
      Module.racerAudio = new AudioContext();
    } catch (e) {
      return 2;
    }
    return 0;
  },

  racer_audio_close: function () {
    if (Module.racerAudio) Module.racerAudio.close().catch(function () {});
    Module.racerAudio = null;
  },
});
