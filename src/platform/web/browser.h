// What the page's browser does for the layer: the functions of browser.js,
// on the browser's own canvas, Web Audio, fullscreen and alert.
#pragma once

#include <cstdint>

extern "C" {
// The canvas's 2D context for a 640x480 picture; 0 when the page has none.
int racer_canvas_open();
// 640x480 pixels, each red, green, blue and alpha bytes, row by row, onto
// the canvas.
void racer_present(const std::uint32_t* rgba);
// The game's window: shown when it opens, gone when it is destroyed.
void racer_show_window(int shown);
void racer_show_cursor(int shown);
// Gives the screen back if the page took it.
void racer_leave_fullscreen();
// A modal box: the caption, when there is one, above the text.
void racer_alert(const char* text, const char* caption);
// Opens a Web Audio context: 0 when it is open, 1 when the browser has no
// Web Audio, 2 when it refused the context.
int racer_audio_open();
void racer_audio_close();
}
