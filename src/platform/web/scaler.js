// The picture's whole-number step on the GPU: the game's 640x480 frame as a
// texture, drawn into a canvas `factor` times its size with every game pixel
// a square of device pixels; the browser then scales that canvas in one
// smooth step. Without WebGL the step is a copy between 2D canvases, which
// costs the main thread far more.
'use strict';
// eslint-disable-next-line no-unused-vars
function makeScaler(view) {
  const gl = view.getContext('webgl', {alpha: false, antialias: false, depth: false, stencil: false});
  if (!gl) {
    const context = view.getContext('2d', {alpha: false});
    return {
      draw(frame, canvas) {
        // Resizing the canvas turns its smoothing back on.
        context.imageSmoothingEnabled = false;
        context.drawImage(canvas, 0, 0, view.width, view.height);
      },
    };
  }

  // A square over the whole view, the texture the right way up.
  const vertexShader = `
    attribute vec2 corner;
    varying highp vec2 at;
    void main() {
      at = vec2(corner.x + 1.0, 1.0 - corner.y) * 0.5;
      gl_Position = vec4(corner, 0.0, 1.0);
    }`;
  const fragmentShader = `
    precision highp float;
    uniform sampler2D frame;
    varying highp vec2 at;
    void main() { gl_FragColor = texture2D(frame, at); }`;
  const program = gl.createProgram();
  for (const [type, source] of [[gl.VERTEX_SHADER, vertexShader], [gl.FRAGMENT_SHADER, fragmentShader]]) {
    const shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    gl.attachShader(program, shader);
  }
  gl.linkProgram(program);
  gl.useProgram(program);
  gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
  gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
  const corner = gl.getAttribLocation(program, 'corner');
  gl.enableVertexAttribArray(corner);
  gl.vertexAttribPointer(corner, 2, gl.FLOAT, false, 0, 0);
  gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
  // Nearest: each device pixel takes its game pixel's colour as it is.
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
  gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, 640, 480, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);

  return {
    // `frame`: the frame just made (ImageData), or null for the canvas's.
    // The frame's bytes go to the texture as they are, which costs far
    // less than handing over the ImageData or a canvas.
    draw(frame, canvas) {
      if (gl.isContextLost()) return;
      if (frame) {
        const bytes = new Uint8Array(frame.data.buffer, frame.data.byteOffset, frame.data.byteLength);
        gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 640, 480, gl.RGBA, gl.UNSIGNED_BYTE, bytes);
      } else {
        gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, gl.RGBA, gl.UNSIGNED_BYTE, canvas);
      }
      gl.viewport(0, 0, view.width, view.height);
      gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    },
  };
}
