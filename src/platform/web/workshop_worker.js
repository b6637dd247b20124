// The course workshop's checks, off the page's thread: the module reads
// the files it is sent as the game and racer_check would, however long the
// smoothing takes, and answers with racer_check's report and the course
// map. The page sends the next files only once the answer is in.
'use strict';
importScripts('racer.js', 'player_files.js', 'course_strip.js');

createRacer({}).then(racer => {
  const settings = racer.UTF8ToString(racer._web_settings()).trim().split('\n').map(line => {
    const [name, builtIn] = line.split(' ');
    return [name, Number(builtIn)];
  });
  onmessage = ({data}) => {
    putGameFiles(racer, data.files);
    const text = racer.UTF8ToString(racer._web_workshop_check());
    const strip = readStrip(racer, racer._web_course_strip());
    postMessage({text, loads: data.loads, strip}, [strip.pixels.buffer]);
  };
  postMessage({settings, valueLimit: racer._web_course_value_limit()});
}).catch(error => postMessage({failed: String(error.message || error)}));
