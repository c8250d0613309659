// The browser draws the frames the desktop draws: for each scene time, the
// still hook's canvas (index.html?still=T&mode=WxH in headless Chromium on
// SwiftShader) against the desktop's `vellamor --still T` PNG of the same
// size. Fails on a mean absolute difference above 3 (0-255, over R, G, B),
// an 8x8 block whose mean differs by more than 20, a console error, a
// WebGL warning or an uncaught exception.
//
// Usage: node still_test.mjs WEB_BUILD_DIR DESKTOP_PNG_DIR WxH T...
//   DESKTOP_PNG_DIR holds still-T.png for each T (made by the caller).
// The files are served by this script on 127.0.0.1 at a free port.
import puppeteer from 'puppeteer-core';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const [webDir, pngDir, mode, ...times] = process.argv.slice(2);
if (!webDir || !pngDir || !/^[0-9]+x[0-9]+$/.test(mode || '') || times.length === 0) {
  console.error('usage: node still_test.mjs WEB_BUILD_DIR DESKTOP_PNG_DIR WxH T...');
  process.exit(2);
}
const limits = { mean: 3, block: 20 };
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png' };

// Serves webDir at / and pngDir at /desktop/, nothing outside them.
function serve() {
  const roots = { '/desktop/': path.resolve(pngDir), '/': path.resolve(webDir) };
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const prefix = url.startsWith('/desktop/') ? '/desktop/' : '/';
    const file = path.resolve(roots[prefix], '.' + url.slice(prefix.length - 1));
    if (!file.startsWith(roots[prefix] + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// In the page: the canvas against the desktop PNG, as the two pictures' RGB.
async function compareInPage(desktopUrl) {
  const canvas = document.getElementById('canvas');
  const w = canvas.width, h = canvas.height;
  const pixels = (source) => {
    const c = new OffscreenCanvas(w, h);
    const g = c.getContext('2d');
    g.drawImage(source, 0, 0);
    return g.getImageData(0, 0, w, h).data;
  };
  const desktopImage = await createImageBitmap(await (await fetch(desktopUrl)).blob());
  if (desktopImage.width !== w || desktopImage.height !== h)
    return { error: `desktop still is ${desktopImage.width}x${desktopImage.height}, canvas ${w}x${h}` };
  const a = pixels(canvas), b = pixels(desktopImage);
  let sum = 0, worst = 0, worstAt = '';
  for (let i = 0; i < a.length; i += 4)
    for (let c = 0; c < 3; ++c) sum += Math.abs(a[i + c] - b[i + c]);
  for (let by = 0; by + 8 <= h; by += 8)
    for (let bx = 0; bx + 8 <= w; bx += 8)
      for (let c = 0; c < 3; ++c) {
        let d = 0;
        for (let y = by; y < by + 8; ++y)
          for (let x = bx; x < bx + 8; ++x) d += a[(y * w + x) * 4 + c] - b[(y * w + x) * 4 + c];
        if (Math.abs(d / 64) > worst) { worst = Math.abs(d / 64); worstAt = `${bx},${by}`; }
      }
  return { mean: sum / (w * h * 3), worst, worstAt };
}

const server = await serve();
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: 'new',
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-quic',
    '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--autoplay-policy=no-user-gesture-required'],
});
let failures = 0;
try {
  for (const t of times) {
    const page = await browser.newPage();
    const problems = [];
    page.on('console', (m) => {
      if (m.type() === 'error' || /WebGL|GL_INVALID|GL ERROR/i.test(m.text())) problems.push(`console ${m.type()}: ${m.text()}`);
    });
    page.on('pageerror', (e) => problems.push(`uncaught: ${e}`));
    const started = Date.now();
    await page.goto(`${base}/index.html?still=${encodeURIComponent(t)}&mode=${mode}`);
    await page.waitForFunction(() => /^(still-ready|failed)$/.test(document.body.dataset.state), { timeout: 180000 });
    const state = await page.evaluate(() => document.body.dataset.state);
    const r = state === 'still-ready' ? await page.evaluate(compareInPage, `/desktop/still-${t}.png`) : { error: state };
    const seconds = ((Date.now() - started) / 1000).toFixed(1);
    const ok = !r.error && r.mean <= limits.mean && r.worst <= limits.block && problems.length === 0;
    if (!ok) ++failures;
    console.log(`${ok ? 'ok  ' : 'FAIL'} T=${t}: ` +
      (r.error ? r.error : `mean |diff| ${r.mean.toFixed(3)}, worst 8x8 block ${r.worst.toFixed(2)} at ${r.worstAt}`) +
      ` (${seconds} s)`);
    for (const p of problems) console.log(`     ${p}`);
    await page.close();
  }
} finally {
  await browser.close();
  server.close();
}
console.log(failures === 0 ? 'still test: every frame matches' : `still test: ${failures} of ${times.length} failed`);
process.exit(failures === 0 ? 0 : 1);
