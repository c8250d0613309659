// The page in headless Chromium (SwiftShader, real time): the show's
// loading screen is presented while loading, ?autoplay reaches
// "playing", the music heard advances with the wall clock (within 2 % over
// 5 s: headless, the audio clock follows it) and the show time follows it
// (within 0.3 s), before and after a left-button seek that restarts the
// sound, Escape ends the show; a page without the show's data package and a browser
// that refuses WebGL 2 show their messages; no uncaught exception in a
// run. With SHOTS_DIR, pictures of the form, the loading and the show.
//
// Usage: node page_test.mjs WEB_BUILD_DIR [SHOTS_DIR]
// The files are served by this script on 127.0.0.1 at a free port.
import puppeteer from 'puppeteer-core';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const [webDir, shotsDir] = process.argv.slice(2);
if (!webDir || !fs.existsSync(path.join(webDir, 'index.html'))) {
  console.error('usage: node page_test.mjs WEB_BUILD_DIR [SHOTS_DIR]');
  process.exit(2);
}
const mode = '320x180';
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

// Serves webDir, nothing outside it; `hidden` names files answered with 404.
function serve(hidden) {
  const root = path.resolve(webDir);
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.resolve(root, '.' + url);
    if (!file.startsWith(root + path.sep) || hidden.has(path.basename(file)) || !fs.existsSync(file) ||
        !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const hidden = new Set();
const server = await serve(hidden);
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: 'new',
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-quic',
    '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--autoplay-policy=no-user-gesture-required', '--window-size=640,480'],
});

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) ++failures;
}

async function openPage(query, { refuseWebgl2 = false } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width: 640, height: 480 });
  page.uncaught = [];
  page.on('pageerror', (e) => page.uncaught.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error') page.uncaught.push(`console error: ${m.text()}`); });
  if (refuseWebgl2)
    await page.evaluateOnNewDocument(() => {
      const get = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
        return kind === 'webgl2' ? null : get.call(this, kind, ...rest);
      };
    });
  await page.goto(`${base}/index.html${query}`);
  return page;
}

const state = (page) => page.evaluate(() => document.body.dataset.state);
const waitState = (page, re, timeout) =>
  page.waitForFunction((s) => new RegExp(s).test(document.body.dataset.state), { timeout }, re.source);
const shot = async (page, name) => { if (shotsDir) await page.screenshot({ path: path.join(shotsDir, name) }); };
const message = (page) => page.evaluate(() => {
  const m = document.getElementById('message');
  return m && !m.hidden ? m.textContent : '';
});

try {
  // Before Start: the form with its defaults.
  {
    const page = await openPage('');
    await waitState(page, /^form$/, 30000);
    const form = await page.evaluate(() => ({
      size: document.getElementById('size').value,
      sizes: [...document.getElementById('size').options].map((o) => o.value),
      fullscreen: document.getElementById('fullscreen').checked,
      force169: document.getElementById('force169').checked,
    }));
    check(form.sizes.length > 0 && /^\d+x\d+$/.test(form.size) && form.fullscreen && form.force169,
      `the form offers ${form.sizes.join(' ')}, ${form.size} chosen, full screen and 16:9 ticked`);
    await shot(page, 'page-before-start.png');
    await page.close();
  }

  // A whole run: the loading screen, playing at the audio clock's rate, a
  // left-button seek the sound follows, Escape.
  {
    const page = await openPage(`?autoplay&mode=${mode}`);
    await waitState(page, /^(loading|playing|failed)$/, 30000);
    // The show's loading screen is presented between the set-up's steps: the
    // canvas is shown for several animation frames while loading. (Its
    // pixels cannot tell: the set-up feeds the screen three progress steps,
    // which leave it a few levels above black.)
    const frames = await page.waitForFunction(() => {
      const c = document.getElementById('canvas');
      if (document.body.dataset.state === 'loading' && !c.hidden)
        window.loadingFrames = (window.loadingFrames || 0) + 1;
      return document.body.dataset.state !== 'loading' ? String(window.loadingFrames || 0) : null;
    }, { timeout: 300000, polling: 'raf' }).then((h) => h.jsonValue()).catch(() => '0');
    check(Number(frames) >= 5, `the loading screen is presented during loading (${frames} frames)`);
    await shot(page, 'page-loading.png');
    await waitState(page, /^(playing|failed)$/, 300000);
    check(await state(page) === 'playing', `?autoplay reaches "playing" ${await message(page)}`);
    // Sampled just after a tick: the show time is that of the last frame.
    const sample = () => page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() =>
      resolve([window.vellamorShowTime(), performance.now() / 1000, window.vellamorSeeks(),
        window.vellamorMusicTime()]))));
    // The picture follows the music heard (the gap a frame's pull leaves at
    // SwiftShader's few frames a second), and the music the audio clock,
    // which follows the wall clock here. The show time's own rate over the
    // wall clock is printed: it carries that gap's change over 5 s.
    const rateOver = async (what) => {
      const [t0, w0, , m0] = await sample();
      await new Promise((r) => setTimeout(r, 5000));
      const [t1, w1, seeks, m1] = await sample();
      const rate = (m1 - m0) / (w1 - w0);
      check(Math.abs(rate - 1) <= 0.02, `${what}: music heard ${m0.toFixed(3)} -> ${m1.toFixed(3)} s over ` +
        `${(w1 - w0).toFixed(3)} s of wall time (rate ${rate.toFixed(4)})`);
      check(Math.abs(t0 - m0) <= 0.3 && Math.abs(t1 - m1) <= 0.3, `${what}: show time ${t0.toFixed(3)} -> ` +
        `${t1.toFixed(3)} s follows it (rate ${((t1 - t0) / (w1 - w0)).toFixed(4)} of the wall clock)`);
      return [t1, seeks];
    };
    // The first frames (and the set-up's remainder between them) leave the
    // picture behind the music; the pull closes the gap over a few seconds.
    const settle = () => new Promise((r) => setTimeout(r, 5000));
    await settle();
    const [before, starts] = await rateOver('playing');
    await shot(page, 'page-playing.png');
    // Held, the left button re-seeks the sound to the picture every frame.
    const box = await (await page.$('#canvas')).boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    await page.mouse.down();
    await new Promise((r) => setTimeout(r, 1000));
    await page.mouse.up();
    const [, , heldSeeks] = await sample();
    check(heldSeeks > starts, `the left button restarts the sound at the picture (${starts} -> ${heldSeeks} starts)`);
    await settle();
    const [after] = await rateOver('after the seek');
    check(after > before, `the show goes on after the seek (${before.toFixed(3)} -> ${after.toFixed(3)} s)`);
    await page.keyboard.press('Escape');
    await waitState(page, /^(ended|failed)$/, 30000).catch(() => {});
    check(await state(page) === 'ended', 'Escape ends the show');
    check(page.uncaught.length === 0, `no uncaught exception ${page.uncaught.join(' | ')}`);
    await page.close();
  }

  // No WebGL 2: a message, not a blank canvas.
  {
    const page = await openPage(`?autoplay&mode=${mode}`, { refuseWebgl2: true });
    await waitState(page, /^failed$/, 30000).catch(() => {});
    const m = await message(page);
    check(/WebGL 2/.test(m), `without WebGL 2 the page says: "${m}"`);
    await page.close();
  }

  // The show's data package missing: a message naming the failure.
  {
    hidden.add('vellamor.data');
    const page = await openPage(`?autoplay&mode=${mode}`);
    await waitState(page, /^failed$/, 60000).catch(() => {});
    const m = await message(page);
    check(/vellamor\.data/.test(m), `without its data the page says: "${m}"`);
    hidden.clear();
    await page.close();
  }
} finally {
  await browser.close();
  server.close();
}
console.log(failures === 0 ? 'page test: passed' : `page test: ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
