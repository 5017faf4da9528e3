// Drives the browser build in Debian's headless Chromium: a static server of our own
// on 127.0.0.1 that counts what it serves, the browser launched with a fresh profile,
// a page that watches its console and every request, and screenshots read as pixels.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const TYPES = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm'
};

// Serves a folder on a free port, gzipped as a web host would; stats counts the
// requests and the bytes sent.
async function serve(root) {
  const stats = {requests: 0, sent: 0};
  const packed = new Map();
  const server = http.createServer((req, res) => {
    stats.requests++;
    let name = decodeURIComponent(new URL(req.url, 'http://host').pathname);
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(root, path.normalize(name));
    // The browser asks for an icon by itself; a site without one is no fault of the game's.
    const found = file.startsWith(root + path.sep) && fs.statSync(file, {throwIfNoEntry: false});
    if (!found?.isFile()) return res.writeHead(name === '/favicon.ico' ? 204 : 404).end();
    if (!packed.has(file)) packed.set(file, zlib.gzipSync(fs.readFileSync(file), {level: 9}));
    const type = TYPES[path.extname(file)] || 'application/octet-stream';
    res.writeHead(
        200, {'Content-Type': type, 'Cache-Control': 'no-store', 'Content-Encoding': 'gzip'});
    res.end(packed.get(file));
    stats.sent += packed.get(file).length;
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  const origin = `http://127.0.0.1:${server.address().port}`;
  return {origin, stats, close: () => new Promise((done) => server.close(done))};
}

// Chromium as the notes on this machine found it must run: software WebGL, nothing
// fetched for the browser itself, a fresh profile (puppeteer makes one and removes it).
// Pages fill a 1024 x 768 window under the browser's own bar, on a 1280 x 960 screen
// for full screen, unless a viewport is given.
function launch(viewport = null) {
  const args = ('--enable-unsafe-swiftshader --disable-background-networking --disable-sync ' +
                '--disable-component-update --no-first-run --disable-quic --window-size=1024,768 ' +
                '--screen-info={1280x960}')
                   .split(' ');
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  return puppeteer.launch({
    executablePath: process.env.JQ_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args,
    defaultViewport: viewport,
  });
}

// A new page that keeps its console's errors and warnings, uncaught errors and any
// request that leaves the origin; log.problems() lists them all.
async function openPage(browser, origin) {
  const page = await browser.newPage();
  const log = {console: [], errors: [], foreign: []};
  page.on('console', (m) => {
    // The screenshots' own read-back makes the browser warn of a stall: not the game's doing.
    if (/^\[\.WebGL-[^\]]*\].*GPU stall due to ReadPixels/.test(m.text())) return;
    if (m.type() === 'error' || m.type() === 'warn')
      log.console.push(`${m.type()}: ${m.text()} ${m.location().url || ''}`);
  });
  page.on('pageerror', (e) => log.errors.push(String(e)));
  page.on('requestfailed', (r) => log.errors.push(`failed: ${r.url()} ${r.failure()?.errorText}`));
  page.on('request', (r) => {
    const url = r.url();
    if (!url.startsWith(origin + '/') && !/^(data|blob):/.test(url)) log.foreign.push(url);
  });
  log.problems =
      () => [...log.console, ...log.errors, ...log.foreign.map((u) => `left the origin: ${u}`)];
  return {page, log};
}

// A screenshot's pixels, read from the PNG the browser makes (8 bits a channel, RGB or
// RGBA, not interlaced).
class Shot {
  constructor(png) {
    const [bits, type, , , interlaced] = png.subarray(24, 29);
    if (bits !== 8 || (type !== 2 && type !== 6) || interlaced)
      throw new Error('unexpected screenshot format');
    const idat = [];
    for (let at = 8; at < png.length; at += 12 + png.readUInt32BE(at)) {
      if (png.toString('latin1', at + 4, at + 8) === 'IDAT')
        idat.push(png.subarray(at + 8, at + 8 + png.readUInt32BE(at)));
    }
    const raw = zlib.inflateSync(Buffer.concat(idat));
    const [w, h, n] = [png.readUInt32BE(16), png.readUInt32BE(20), type === 6 ? 4 : 3];
    const row = w * n;
    const px = Buffer.alloc(h * row);
    for (let y = 0, i = 0; y < h; y++) {
      for (let x = 0, filter = raw[y * (row + 1)]; x < row; x++, i++) {
        const [a, b, c] =
            [x >= n ? px[i - n] : 0, y ? px[i - row] : 0, x >= n && y ? px[i - row - n] : 0];
        const [pa, pb, pc] = [Math.abs(b - c), Math.abs(a - c), Math.abs(a + b - 2 * c)];
        const paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        px[i] = raw[y * (row + 1) + 1 + x] + [0, a, b, (a + b) >> 1, paeth][filter];
      }
    }
    Object.assign(this, {w, h, n, px});
  }

  rgb(x, y) {
    const i = this.n * (y * this.w + x);
    return [this.px[i], this.px[i + 1], this.px[i + 2]];
  }

  // Calls visit(x, y) on every step-th pixel each way of x0 <= x < x1, y0 <= y < y1.
  each(x0, y0, x1, y1, step, visit) {
    for (let y = Math.max(0, Math.round(y0)); y < Math.min(this.h, y1); y += step) {
      for (let x = Math.max(0, Math.round(x0)); x < Math.min(this.w, x1); x += step) visit(x, y);
    }
  }

  // The share (0 to 1) of pixels in a rectangle whose colour passes a test.
  share(test, x0, y0, x1, y1, step = 1) {
    let [hits, all] = [0, 0];
    this.each(x0, y0, x1, y1, step, (x, y) => (hits += test(...this.rgb(x, y)) ? 1 : 0, all++));
    return all ? hits / all : 0;
  }

  // How many pixels in a rectangle differ clearly (by more than 16 % in colour) from another shot.
  differing(other, x0 = 0, y0 = 0, x1 = this.w, y1 = this.h) {
    let count = 0;
    this.each(x0, y0, x1, y1, 1, (x, y) => {
      const [a, b] = [this.rgb(x, y), other.rgb(x, y)];
      const distance = (a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2 + (a[2] - b[2]) ** 2;
      count += distance > 3 * (0.16 * 255) ** 2 ? 1 : 0;
    });
    return count;
  }

  identical(other) { return this.px.equals(other.px); }

  // Patches of a colour below row top found on every second pixel each way, larger than
  // minArea pixels: {x, y, area} in page pixels, nearest the middle first.
  patches(test, top, minArea) {
    const w = this.w >> 1;
    const h = (this.h - top) >> 1;
    const seen = new Uint8Array(w * h);
    const hit = (x, y) => test(...this.rgb(2 * x, top + 2 * y));
    const found = [];
    for (let start = 0; start < w * h; start++) {
      if (seen[start] || !hit(start % w, Math.floor(start / w))) continue;
      const stack = [start];
      seen[start] = 1;
      let n = 0, sx = 0, sy = 0;
      while (stack.length) {
        const at = stack.pop();
        const [x, y] = [at % w, Math.floor(at / w)];
        n++, sx += x, sy += y;
        for (let d = 0; d < 9; d++) {
          const [nx, ny] = [x + (d % 3) - 1, y + Math.floor(d / 3) - 1];
          if (nx < 0 || ny < 0 || nx >= w || ny >= h || seen[ny * w + nx] || !hit(nx, ny)) continue;
          seen[ny * w + nx] = 1;
          stack.push(ny * w + nx);
        }
      }
      if (4 * n > minArea) found.push({x: (2 * sx) / n, y: top + (2 * sy) / n, area: 4 * n});
    }
    const far = (p) => (p.x - this.w / 2) ** 2 + (p.y - this.h / 2) ** 2;
    return found.sort((a, b) => far(a) - far(b));
  }
}

// A screenshot of the page's canvas (its box on the page, which letterboxing may inset).
async function shoot(page, name, folder) {
  const rect = await page.$eval('canvas', (c) => c.getBoundingClientRect().toJSON());
  const box =
      Object.fromEntries(['x', 'y', 'width', 'height'].map((k) => [k, Math.round(rect[k])]));
  const png = Buffer.from(await page.screenshot({clip: box, type: 'png', optimizeForSpeed: true}));
  if (folder) fs.writeFileSync(path.join(folder, `${name}.png`), png);
  return Object.assign(new Shot(png), {box});
}

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

module.exports = {
  serve,
  launch,
  openPage,
  shoot,
  sleep,
  Shot
};
