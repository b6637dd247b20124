// The course map band the module draws (course_strip.h), copied out of
// its memory: {width, height, left, right, pixels}, the pixels RGBA.
'use strict';
function readStrip(module, at) {
  const [width, height, left, right] = new Int32Array(module.HEAPU8.buffer, at, 4);
  const pixels = new Uint8ClampedArray(module.HEAPU8.slice(at + 16, at + 16 + width * height * 4).buffer);
  return {width, height, left, right, pixels};
}
