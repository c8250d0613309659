// The page around the show: the set-up form (the desktop dialog's choices),
// Start, the soundtrack decoded by the browser, trimmed and played through
// WebAudio, the frame loop on the audio clock, full screen, Escape, the end
// and a plain message whenever something the show needs is missing.
// Hooks for tests and scripts (README): ?autoplay starts without the form,
// document.body.dataset.state is "form", "loading", "playing", "ended" or
// "failed" (the message in dataset.error), window.vellamorShowTime() is the
// show time of the last frame, window.vellamorMusicTime() the track position
// heard, window.vellamorSeeks() counts the sound's (re)starts. ?still=T&mode=WxH draws one frame only.
// Everything read from the address is checked before use.
'use strict';

const soundtrackPath = '/music/Orvel ft Mirel - Vellamor.mp3';
const trackRate = 44100;
const showEnd = 251;

const page = {
  state: (s) => { document.body.dataset.state = s; },
  el: (id) => document.getElementById(id),
};

// One message on the page in place of the show; the first one wins.
function fail(reason) {
  if (document.body.dataset.state === 'failed') return;
  console.warn('vellamor: ' + reason);
  document.body.dataset.error = reason;
  page.state('failed');
  page.el('message').textContent = reason;
  page.el('message').hidden = false;
  page.el('form').hidden = true;
  page.el('canvas').hidden = true;
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
}

// "T": a plain decimal number of seconds within the show.
function parseTime(text) {
  if (text === null || !/^[0-9]{1,3}(\.[0-9]{1,6})?$/.test(text)) return null;
  const t = Number(text);
  return t >= 0 && t <= showEnd ? t : null;
}

// "WxH", each side 16..4096 pixels.
function parseMode(text) {
  const m = /^([0-9]{2,4})x([0-9]{2,4})$/.exec(text === null ? '' : text);
  if (!m) return null;
  const w = Number(m[1]), h = Number(m[2]);
  return w >= 16 && h >= 16 && w <= 4096 && h <= 4096 ? { w, h } : null;
}

// The desktop dialog's list, as the sizes a display offers: landscape, of
// moderate aspect ratio, at most 2047 a side, and here: that fit the screen.
const commonSizes = [[640, 360], [640, 480], [800, 600], [854, 480], [960, 540], [1024, 576], [1024, 768],
  [1152, 864], [1280, 720], [1280, 800], [1280, 1024], [1366, 768], [1440, 900], [1600, 900], [1680, 1050],
  [1920, 1080], [1920, 1200]];

function sizesThatFit(screenW, screenH) {
  const fit = commonSizes.filter(([w, h]) => w / h <= 1.8 && h <= w && w <= 2047 && h <= 2047 &&
    w <= screenW && h <= screenH);
  return fit.length ? fit : [commonSizes[0]];
}

function sizeLabel([w, h]) {
  const r = w / h;
  return `${w} x ${h}` + (Math.abs(r - 16 / 9) < 0.01 ? '  (16:9)' : Math.abs(r - 1.6) < 0.01 ? '  (16:10)' : '');
}

// 1280 x 720 where it fits, else the largest 16:9 size that does, else the first.
function defaultSize(sizes) {
  const i = sizes.findIndex(([w, h]) => w === 1280 && h === 720);
  if (i >= 0) return i;
  let best = -1;
  sizes.forEach(([w, h], k) => { if (Math.abs(w / h - 16 / 9) < 0.01) best = k; });
  return best >= 0 ? best : 0;
}

// The render size the show draws: 16:9 forced keeps the width.
function renderSize(w, h, force169) {
  return { w, h: force169 ? Math.trunc(Math.fround(w / (16 / 9))) : h };
}

function fillForm(params) {
  const dpr = window.devicePixelRatio || 1;
  const sizes = sizesThatFit(Math.round(screen.width * dpr), Math.round(screen.height * dpr));
  const select = page.el('size');
  sizes.forEach((s) => select.add(new Option(sizeLabel(s), `${s[0]}x${s[1]}`)));
  select.selectedIndex = defaultSize(sizes);
  const asked = parseMode(params.get('mode'));
  if (asked) {
    const v = `${asked.w}x${asked.h}`;
    if (![...select.options].some((o) => o.value === v)) select.add(new Option(`${asked.w} x ${asked.h}`, v));
    select.value = v;
  }
}

function formChoices(params) {
  const m = parseMode(page.el('size').value) || { w: 640, h: 360 };
  return { mode: m, fullscreen: page.el('fullscreen').checked, force169: page.el('force169').checked };
}

// The browser decodes the MP3 at the show's rate; the wasm reads the
// file's LAME tag for the frames to drop so that frame 0 is the desktop
// decoder's first, and gets the trimmed samples for the spectrum.
async function decodeSoundtrack(M, audio) {
  let bytes;
  try {
    bytes = M.FS.readFile(soundtrackPath);
  } catch (e) {
    throw new Error('the soundtrack (music/Orvel ft Mirel - Vellamor.mp3) is not in the show\'s files');
  }
  let buffer;
  try {
    buffer = await audio.decodeAudioData(bytes.slice().buffer);
  } catch (e) {
    throw new Error('the soundtrack could not be decoded: ' + e);
  }
  const file = M._vellamor_alloc(bytes.length);
  M.HEAPU8.set(bytes, file);
  const skip = M._vellamor_sound_start_skip(file, bytes.length, buffer.length);
  M._vellamor_free(file);
  const frames = Math.max(0, buffer.length - skip);
  const out = M._vellamor_sound_buffer(frames);
  if (out !== 0) {
    const left = buffer.getChannelData(0);
    const right = buffer.numberOfChannels > 1 ? buffer.getChannelData(1) : left;
    const heap = M.HEAPF32.subarray(out >> 2, (out >> 2) + 2 * frames);
    for (let i = 0; i < frames; ++i) {
      heap[2 * i] = left[i + skip];
      heap[2 * i + 1] = right[i + skip];
    }
    M._vellamor_sound_ready();
  }
  return { buffer, offset: skip / buffer.sampleRate };
}

// The soundtrack on WebAudio: the show asks for it to (re)start at a track
// position now (its start, a left-button seek); the previous node stops.
function soundPlayer(audio, track) {
  let source = null, startedAt = 0;
  const stop = () => {
    if (source === null) return;
    try { source.stop(); } catch (e) { /* already stopped */ }
    source.disconnect();
    source = null;
  };
  return {
    seeks: 0,
    playFrom(seconds) {
      stop();
      source = audio.createBufferSource();
      source.buffer = track.buffer;
      source.connect(audio.destination);
      source.start(audio.currentTime, track.offset + Math.max(0, seconds));
      startedAt = audio.currentTime - Math.max(0, seconds);
      this.seeks += 1;
    },
    // The track position being heard.
    position: () => (source === null ? 0 : audio.currentTime - startedAt),
    stop,
  };
}

const nextFrame = () => new Promise((resolve) => requestAnimationFrame(resolve));

// The show's loop: each animation frame runs the show's own tick, which
// reads the audio clock, pulls the picture toward the music, seeks while
// the left button is held, fades out after Escape and ends at 251 s.
function play(M, audio, player) {
  let ended = false;
  const end = () => {
    if (ended) return;
    ended = true;
    player.stop();
    audio.close().catch(() => {});
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    page.state('ended');
    page.el('again').hidden = false;
  };
  const canvas = page.el('canvas');
  document.addEventListener('keydown', (e) => { if (e.key === 'Escape') M._vellamor_escape(); });
  canvas.addEventListener('mousedown', (e) => { if (e.button === 0) M._vellamor_left_button(1); });
  window.addEventListener('mouseup', (e) => { if (e.button === 0) M._vellamor_left_button(0); });
  document.addEventListener('visibilitychange', () => {
    if (ended) return;
    M._vellamor_set_paused(document.hidden ? 1 : 0);
    (document.hidden ? audio.suspend() : audio.resume()).catch(() => {});
  });
  canvas.addEventListener('webglcontextlost', (e) => {
    e.preventDefault();
    ended = true;
    player.stop();
    fail('The graphics context was lost (the GPU was reset or is needed elsewhere). Reload the page to watch again.');
  });
  const frame = () => {
    if (ended) return;
    if (!M._vellamor_live_tick()) return end();
    requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
}

// The show's loading screen is drawn before the soundtrack decodes and
// again by each set-up step; a frame between them lets the browser show it.
async function runShow(M, choices, audio) {
  page.state('loading');
  page.el('form').hidden = true;
  page.el('canvas').hidden = false;
  page.el('progress').hidden = false;
  const size = renderSize(choices.mode.w, choices.mode.h, choices.force169);
  if (!M._vellamor_live_begin(size.w, size.h))
    throw new Error('The show could not start: ' + (M.vellamorErrors.join('; ') || 'no WebGL 2 context for its canvas'));
  await nextFrame();
  const track = await decodeSoundtrack(M, audio);
  try {
    await audio.resume();
  } catch (e) { /* reported below */ }
  if (audio.state !== 'running')
    throw new Error('The sound could not start (the browser kept the audio suspended). Click the page and try again.');
  const player = soundPlayer(audio, track);
  M.vellamorAudioClock = () => audio.currentTime;
  M.vellamorPlayFrom = (seconds) => player.playFrom(seconds);
  window.vellamorSeeks = () => player.seeks;
  window.vellamorMusicTime = () => player.position();
  window.vellamorShowTime = () => M._vellamor_show_time();
  await nextFrame();
  let step;
  while ((step = M._vellamor_live_setup_step()) === 1) await nextFrame();
  if (step < 0)
    throw new Error('The show could not start: ' + (M.vellamorErrors.join('; ') || 'its files did not load'));
  page.el('progress').hidden = true;
  page.state('playing');
  play(M, audio, player);
}

function webgl2Missing() {
  try {
    return !document.createElement('canvas').getContext('webgl2');
  } catch (e) {
    return true;
  }
}

function init() {
  const params = new URLSearchParams(location.search);
  window.vellamorShowTime = () => 0;
  // Emscripten's package loader throws "STATUS : URL" for a file it could not fetch.
  window.addEventListener('error', (e) => {
    const text = String(e.message || e);
    const load = /([A-Za-z ]+) : (\S+)$/.exec(text);
    fail(load ? `A file of the show failed to load: ${load[2].replace(/^.*\//, '')} (${load[1].trim()}). ` +
      'Every file of the page must be on the server beside index.html.' : 'The show stopped: ' + text);
  });
  window.addEventListener('unhandledrejection', (e) => fail('The show stopped: ' + (e.reason && e.reason.message || e.reason)));
  if (webgl2Missing()) {
    fail('This browser cannot show Vellamor: it needs WebGL 2, which is missing or switched off here.');
    return;
  }
  fillForm(params);
  const ready = new Promise((resolve) => { Module.onRuntimeInitialized = () => resolve(Module); });
  const go = (choices) => {
    let audio;
    try {
      audio = new AudioContext({ sampleRate: trackRate });
    } catch (e) {
      fail('The sound could not start: this browser offers no WebAudio (' + e + ').');
      return;
    }
    if (choices.fullscreen && page.el('stage').requestFullscreen)
      page.el('stage').requestFullscreen().catch(() => {});
    page.state('loading');
    page.el('form').hidden = true;
    page.el('progress').hidden = false;
    ready.then((M) => runShow(M, choices, audio)).catch((e) => fail(e && e.message ? e.message : String(e)));
  };
  if (params.has('still')) {
    const time = parseTime(params.get('still'));
    const mode = params.has('mode') ? parseMode(params.get('mode')) : { w: 640, h: 360 };
    if (time === null || mode === null) return fail('still=T needs a time from 0 to 251 and mode=WxH sizes from 16 to 4096');
    page.el('form').hidden = true;
    page.el('canvas').hidden = false;
    ready.then(async (M) => {
      const audio = new OfflineAudioContext(2, 1, trackRate);
      await decodeSoundtrack(M, audio).catch((e) => console.warn('vellamor: ' + e.message));
      if (!M._vellamor_setup(mode.w, mode.h)) throw new Error('the show did not set up (see the console)');
      M._vellamor_draw_still(time);
      page.state('still-ready');
    }).catch((e) => fail(e.message));
    return;
  }
  page.el('start').addEventListener('click', (e) => { e.preventDefault(); go(formChoices(params)); });
  page.el('again').addEventListener('click', () => location.reload());
  if (params.has('autoplay')) go({ mode: parseMode(params.get('mode')) || { w: 640, h: 360 }, fullscreen: false, force169: false });
  else page.state('form');
}

// Emscripten's module: the canvas, the download's progress and the show's
// error lines (kept to name what failed).
var Module = {
  canvas: document.getElementById('canvas'),
  vellamorErrors: [],
  printErr(text) {
    console.warn(text);
    if (/^setup: /.test(text)) Module.vellamorErrors.push(text.slice(7));
  },
  setStatus(text) {
    const m = /\(([0-9]+)\/([0-9]+)\)/.exec(text || '');
    if (m) page.el('progress').value = Number(m[1]) / Math.max(1, Number(m[2]));
  },
  monitorRunDependencies() {},
};
init();
