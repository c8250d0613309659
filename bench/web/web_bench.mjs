// The browser build's frame time: headless Chromium draws the frame at each
// scene time of bench/frame (the same six) at WxH, several times, each draw
// followed by a one-pixel read so the time includes the GPU work; prints
// the median per time in milliseconds, then the download's sizes (raw and
// gzip -9) of the wasm, the js and the data package.
//
//   node bench/web/web_bench.mjs [WEB_BUILD_DIR] [WxH] [frames] [swiftshader|llvmpipe]
//     (defaults build-web, 640x360, 5, swiftshader)
// puppeteer-core comes from tests/web/node_modules (scripts/test-web installs it).
import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

const require = createRequire(new URL('../../tests/web/package.json', import.meta.url));
const puppeteer = require('puppeteer-core');

const [dir = 'build-web', mode = '640x360', framesText = '5', raster = 'swiftshader'] = process.argv.slice(2);
const frames = Math.max(1, Math.min(100, Number.parseInt(framesText, 10) || 5));
if (!/^[0-9]{2,4}x[0-9]{2,4}$/.test(mode) || !['swiftshader', 'llvmpipe'].includes(raster)) {
  console.error('usage: node web_bench.mjs [WEB_BUILD_DIR] [WxH] [frames] [swiftshader|llvmpipe]');
  process.exit(2);
}
const times = [['opening title', 12], ['crane, city', 60], ['orbit, rising', 121], ['insect', 178],
  ['leaves', 190], ['logo', 220]];
const root = path.resolve(dir);
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = http.createServer((req, res) => {
  const file = path.resolve(root, '.' + decodeURIComponent(new URL(req.url, 'http://x').pathname));
  if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
    res.writeHead(404).end();
    return;
  }
  res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
  fs.createReadStream(file).pipe(res);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const angle = raster === 'llvmpipe' ? ['--use-angle=gl-egl', '--ignore-gpu-blocklist'] : ['--use-angle=swiftshader'];
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: 'new',
  args: ['--no-sandbox', ...angle, '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage();
  await page.goto(`http://127.0.0.1:${server.address().port}/index.html?still=${times[0][1]}&mode=${mode}`);
  await page.waitForFunction(() => /^(still-ready|failed)$/.test(document.body.dataset.state), { timeout: 300000 });
  const renderer = await page.evaluate(() => {
    const e = GLctx.getExtension('WEBGL_debug_renderer_info');
    return e ? GLctx.getParameter(e.UNMASKED_RENDERER_WEBGL) : GLctx.getParameter(GLctx.RENDERER);
  });
  console.log(`web_bench ${mode}, ${frames} frames per time, ${raster}: ${renderer}`);
  console.log(`${'scene'.padEnd(16)} ${'T'.padStart(7)} | ${'frame ms'.padStart(9)}`);
  for (const [name, t] of times) {
    const ms = await page.evaluate((t, n) => {
      const pixel = new Uint8Array(4);
      const all = [];
      for (let k = 0; k < n; ++k) {
        const start = performance.now();
        Module._vellamor_draw_still(t);
        GLctx.readPixels(0, 0, 1, 1, GLctx.RGBA, GLctx.UNSIGNED_BYTE, pixel);
        all.push(performance.now() - start);
      }
      all.sort((a, b) => a - b);
      return all[Math.floor(all.length / 2)];
    }, t, frames);
    console.log(`${name.padEnd(16)} ${t.toFixed(1).padStart(7)} | ${ms.toFixed(1).padStart(9)}`);
  }
} finally {
  await browser.close();
  server.close();
}
console.log('download (bytes)       raw        gzip -9');
for (const f of ['vellamor.wasm', 'vellamor.js', 'vellamor.data', 'index.html', 'page.js']) {
  const p = path.join(root, f);
  if (!fs.existsSync(p)) continue;
  const raw = fs.readFileSync(p);
  const gz = zlib.gzipSync(raw, { level: 9 });
  console.log(`${f.padEnd(16)} ${String(raw.length).padStart(11)} ${String(gz.length).padStart(12)}`);
}
