// The browser build's speed in headless Chromium, served gzipped from 127.0.0.1: the
// time from navigation to the first frame drawn, the mid-game frame's update and draw
// timed inside the page beside the native frame given, and the bytes of the site.
//
// A frame's update and draw is one animation-frame callback of the page that draws into
// WebGL, timed from its start to its end: the game's code and the drawing calls it hands
// the browser. Beside it, the time between drawn frames: what the player sees, paced by
// the browser (at most 60 a second) and including the browser's own rasterisation and
// compositing, which run outside the page. The game is played unseen for 25 s after the
// title's click, as the native bench's mid-game frame is, and then timed.
//
// Usage: node web_frame.js <site folder> <native mid-game frame, ms> [frames]
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const {serve, launch, openPage, sleep} = require('../tests/web/harness');

const [site, nativeMs, frames = 300] =
    [path.resolve(process.argv[2]), Number(process.argv[3]), Number(process.argv[4] || 300)];

// Installed before the page's own scripts run.
function timeFrames() {
  const stats = {first: 0, timing: false, ms: [], starts: []};
  window.jqBench = stats;
  let drewInto = null;
  for (const name of ['drawArrays', 'drawElements']) {
    const draw = WebGLRenderingContext.prototype[name];
    WebGLRenderingContext.prototype[name] = function(...args) {
      drewInto = this;
      return draw.apply(this, args);
    };
  }
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((time) => {
    const start = performance.now();
    drewInto = null;
    callback(time);
    if (!drewInto) return;
    const end = performance.now();
    if (!stats.first) stats.first = end;  // performance.now() counts from the navigation
    if (stats.timing) stats.ms.push(end - start), stats.starts.push(start);
  });
}

const verdict = (value, goal) => (value < goal ? 'meets the goal' : 'MISSES the goal');
const median = (v) => [...v].sort((a, b) => a - b)[v.length >> 1];

function siteBytes(folder) {
  let raw = 0, packed = 0;
  for (const f of fs.readdirSync(folder, {recursive: true})) {
    const file = path.join(folder, f);
    if (!fs.statSync(file).isFile()) continue;
    const body = fs.readFileSync(file);
    raw += body.length;
    packed += zlib.gzipSync(body, {level: 9}).length;
  }
  return {raw, packed};
}

async function main() {
  const server = await serve(site);
  const browser = await launch({width: 1024, height: 768});
  try {
    const {page} = await openPage(browser, server.origin);
    await page.evaluateOnNewDocument(timeFrames);
    await page.goto(`${server.origin}/`);
    await page.waitForFunction(() => window.jqBench.first > 0, {timeout: 60000});
    const first = await page.evaluate(() => window.jqBench.first);
    const sent = server.stats.sent;
    const box = await page.$eval(
        'canvas',
        (c) => [c.width, c.height, c.getBoundingClientRect().x, c.getBoundingClientRect().y]);
    await page.mouse.click(box[2] + box[0] / 2, box[3] + box[1] / 2);
    await sleep(25000);
    await page.evaluate(() => (window.jqBench.timing = true));
    await page.waitForFunction((n) => window.jqBench.ms.length >= n, {timeout: 120000}, frames);
    const {ms: each, starts} = await page.evaluate(() => window.jqBench);
    const ms = median(each);
    const apart = median(starts.slice(1).map((t, i) => t - starts[i]));
    const {raw, packed} = siteBytes(site);
    const ratio = ms / nativeMs;
    console.log(`browser: canvas ${box[0]} x ${box[1]}, ${await page.evaluate(() => {
      const gl = document.createElement('canvas').getContext('webgl');
      return gl.getParameter(gl.getExtension('WEBGL_debug_renderer_info').UNMASKED_RENDERER_WEBGL);
    })}`);
    console.log(`browser mid-game frame ${ms.toFixed(3)} ms (median of ${frames}), native ${
        nativeMs.toFixed(
            3)} ms, ratio ${ratio.toFixed(2)}   goal <= 1.5: ${verdict(ratio, 1.5001)}`);
    console.log(`browser drawn frames ${apart.toFixed(1)} ms apart (median), ${
        (1000 / apart).toFixed(1)} a second, ratio ${
        (apart / nativeMs).toFixed(2)} to the native frame`);
    console.log(`browser first frame ${first.toFixed(0)} ms after navigation (${
        (sent / 1e6).toFixed(2)} MB sent gzipped by then)   goal < 2000 ms: ${
        verdict(first, 2000)}`);
    console.log(`browser site ${(packed / 1e6).toFixed(2)} MB gzipped (${
        (raw / 1e6).toFixed(2)} MB as files)   goal < 3 MB: ${verdict(packed, 3e6)}`);
  } finally {
    await browser.close();
    await server.close();
  }
}

main().catch((e) => {
  console.error(`web_frame: ${e.message}`);
  process.exit(1);
});
