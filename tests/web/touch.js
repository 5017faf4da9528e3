// Plays the browser build with fingers in headless Chromium, on a phone-sized screen
// that takes touches, held upright and then turned, and checks each step on
// screenshots of the canvas: the title shows the touch card and a tap starts; a
// finger drags a blob and flicks it away from the pull while a second finger taps
// elsewhere without flinging it; one finger on open ground turns the view and two
// slide it; the corner button pauses and a tap resumes; pinches, double taps and
// drags on the page's border neither scroll nor zoom it; turned, the canvas takes
// the new shape and the game goes on; a desktop page keeps the mouse card. No
// console errors. The touch title and a phone-sized mid-game frame are kept in the
// output folder, every shot on failure.
//
// Usage: node touch.js <site folder> <output folder> (ctest -R web_touch in build-web/)
'use strict';
const fs = require('fs');
const path = require('path');
const {serve, launch, openPage, shoot, sleep} = require('./harness');

const site = path.resolve(process.argv[2] || 'build-web/site');
const out = path.resolve(process.argv[3] || 'build-web/touch');
const PHONE = {
  width: 390,
  height: 844,
  isMobile: true,
  hasTouch: true,
  deviceScaleFactor: 1
};

const BLUE = (r, g, b) => b > 100 && b - r > 45;
const SUN = (r, g, b) => r > 225 && g > 170 && g < 240 && b < 120;
// The same yellow as a small picture's mipmaps blend it into the dark card.
const YELLOW = (r, g, b) => r > 150 && g > 120 && b < 100 && r - b > 90;
const PAUSED = (r, g, b) => b > 220 && b - r > 60;

let page, log, cdp, W, H, TOP;
const check = (ok, what) => {
  if (!ok) throw new Error(what);
};
const ok = (what) => console.log(`ok: ${what}`);
const snap = async (name) => {
  const shot = await shoot(page, name, out);
  ({w: W, h: H} = shot);
  page.box = shot.box;
  TOP = Math.round(W * 0.06);
  return shot;
};
async function waitFor(s, name, test) {
  for (const end = Date.now() + s * 1000;;) {
    const shot = await snap(name);
    if (test(shot) || Date.now() > end) return Object.assign(shot, {ok: test(shot)});
    await sleep(250);
  }
}

// The title is a picture across the width; its card's third row shows fingers (with
// their sun-yellow touch rings) on a touch screen and cream arrow keys otherwise.
const titleTop = (s) => s.h / 2 - s.w / 4;
const isTitle = (s) =>
    s.share(SUN, s.w * 0.34, titleTop(s) + s.w * 0.22, s.w * 0.66, titleTop(s) + s.w * 0.26) > 0.1;
const fingerRow = (s) => {
  const row = (0.39 * s.w) / 2 / 4.4, y = titleTop(s) + 0.59 * s.w / 2 + row * 2.7;
  return s.share(YELLOW, s.w * 0.21, y - row / 2, s.w * 0.21 + row * 1.6, y + row / 2);
};
// The running display's morale bar, yellow from its left end.
const isRunning = (s) => s.share(
                             (r, g, b) => r > 150 && g > 90 && b < 90 && r - b > 90, s.w * 0.15,
                             s.w * 0.025, s.w * 0.17, s.w * 0.045) > 0.5;
const isPaused = (s) =>
    s.share(PAUSED, s.w * 0.32, s.h / 2 - s.w * 0.07, s.w * 0.68, s.h / 2 + s.w * 0.015, 2) > 0.08;
const changed = (a, b) => a.differing(b, 0, TOP, W, H) / (W * (H - TOP));

// Fingers in canvas pixels, [x, y] each, numbered by their place in the list; every
// event lists the fingers down after it, as the browser's own do.
const at = ([x, y], id) => ({x: page.box.x + x, y: page.box.y + y, id});
const touch = (type, points) =>
    cdp.send('Input.dispatchTouchEvent', {type, touchPoints: points.map(at)});
async function drag(from, to, steps = 6, extra = []) {
  await touch('touchStart', from);
  for (let i = 1; i <= steps; i++) {
    const now = from.map(
        ([x, y], f) => [x + ((to[f][0] - x) * i) / steps, y + ((to[f][1] - y) * i) / steps]);
    await touch('touchMove', now), await sleep(40);
  }
  if (extra.length) await extra[0]();
  await touch('touchEnd', []);
}
const tap = async (x, y) => {
  await touch('touchStart', [[x, y]]), await sleep(60), await touch('touchEnd', []);
};

// Two shots a second apart: a paused game's agree in every pixel.
const still = async (name) => {
  const a = await snap(`${name}-a`);
  await sleep(1000);
  const b = await snap(`${name}-b`);
  return a.identical(b) && isPaused(b);
};

async function flickWithAStrayFinger() {
  for (let attempt = 0; attempt < 6; attempt++) {
    const before = await snap('03-untouched');
    const blob = before.patches(BLUE, TOP, (W * H) / 10000)[attempt];
    if (!blob) break;
    const radius = Math.max(6, Math.round(Math.sqrt(blob.area / Math.PI) * 1.15));
    const r2 = (radius * 2) / 5;
    const [bx, by] = [Math.round(blob.x), Math.round(blob.y)];
    const py = by + 2 * radius;
    const spot = (s, x, y) => s.share(BLUE, x - r2, y - r2, x + r2, y + r2);
    if (!(spot(before, bx, by) > 0.5 && spot(before, bx, py) <= 0.2 && py < H - 4)) continue;
    let held = null;
    // Half-way through the pull a second finger lands, stays and lifts.
    const stray = async () => {
      const other = [W * 0.8, TOP + 20];
      await touch('touchStart', [[bx, py], other]), await sleep(300);
      await touch('touchMove', [[bx, py], [other[0] - 30, other[1] + 30]]), await sleep(200);
      // Chromium ends every finger on a touchEnd: a move without it lifts only this one.
      await touch('touchMove', [[bx, py]]), await sleep(400);
      held = await snap('04-second-finger');
    };
    await drag([[bx, by]], [[bx, py]], 4, [stray]);
    // A blob that hopped off on its own before the finger landed is tried again; one
    // that a stray finger flings never stays held, and every attempt fails.
    if (!(spot(held, bx, by) > 0.5)) continue;
    const after = await waitFor(3, '05-flicked', (s) => spot(s, bx, by) <= 0.3);
    if (!after.ok) continue;
    check(spot(after, bx, py) <= 0.3, 'the blob flew toward the pull, not away from it');
    // The held blob, its sling and the hand at the finger: the phone-sized mid-game frame.
    fs.copyFileSync(path.join(out, '04-second-finger.png'), path.join(out, 'phone-mid-game.png'));
    return ok(`a finger flicked the blob at ${bx},${by}; a second finger left it held`);
  }
  check(false, 'no blob could be held through a second finger and flicked');
}

// One finger on open ground turns the view; two moved together slide it.
async function view() {
  const before = await snap('06-before-turn');
  // A place with no blob near it, where a finger lands on open ground.
  const open = (s, places) =>
      places.find(([x, y]) => s.share(BLUE, x - 25, y - 25, x + 25, y + 25) === 0);
  const ground = open(before, [[W / 2, H * 0.75], [W / 4, H * 0.8], [W * 0.75, H * 0.8]]);
  check(ground, 'no open ground to turn the view from');
  await drag([ground], [[ground[0] + W * 0.12, ground[1]]], 8);
  await sleep(300);
  const turned = await snap('07-turned');
  check(changed(before, turned) > 0.3, 'one finger on the ground did not turn the view');
  const [x, y] = open(turned, [[W * 0.4, H * 0.8], [W * 0.3, H * 0.7], [W * 0.5, H * 0.9]]) || [];
  check(x, 'no open ground to slide the view from');
  await drag([[x, y], [x + W * 0.1, y]], [[x, y - H * 0.4], [x + W * 0.1, y - H * 0.4]], 8);
  await sleep(300);
  const slid = await snap('08-slid');
  check(changed(turned, slid) > 0.2, 'two fingers did not slide the view');
  ok('one finger turns the view, two slide it');
}

async function pause() {
  await tap(H * 0.07, H * 0.93);
  await sleep(500);
  check(await still('09-paused'), 'the corner button did not pause the game');
  await tap(W / 2, H / 2);
  await sleep(300);
  const [a, b] = [await snap('10-a'), (await sleep(1000), await snap('10-b'))];
  check(!a.identical(b) && !isPaused(b), 'a tap did not resume the game');
  ok('the corner button pauses, a tap resumes');
}

// Pinches, a double tap and a drag on the dark border, then the page must sit as it was.
async function pageStaysPut() {
  const border = [W / 2, H + 120];
  await drag(
      [[border[0] - 20, border[1]], [border[0] + 20, border[1]]],
      [[border[0] - 150, border[1] - 100], [border[0] + 150, border[1] + 100]], 6);
  await drag([[W * 0.3, H * 0.5], [W * 0.7, H * 0.5]], [[W * 0.05, H * 0.3], [W * 0.95, H * 0.7]]);
  await tap(...border), await sleep(80), await tap(...border);
  await drag([border], [[border[0], border[1] - 300]], 6);
  await sleep(500);
  const view = await page.evaluate(
      () =>
          [scrollX, scrollY, visualViewport.scale, visualViewport.offsetTop, getSelection() + '']);
  check(JSON.stringify(view) === '[0,0,1,0,""]', `the page moved or zoomed: ${view}`);
  ok('the page neither scrolls, zooms nor selects');
}

async function turnThePhone() {
  await page.evaluate(() => (window.jqSamePage = true));
  await page.setViewport({...PHONE, width: PHONE.height, height: PHONE.width});
  await sleep(800);
  const s = await waitFor(3, '11-turned', (s) => s.h === PHONE.width);
  check(s.ok && Math.abs(3 * s.w - 4 * s.h) < 4, `turned, the canvas is ${s.w} x ${s.h}`);
  check(Math.abs(2 * s.box.x + s.w - PHONE.height) < 2, 'turned, the canvas is not centred');
  check(await page.evaluate(() => window.jqSamePage), 'the page reloaded when turned');
  check(isRunning(s) && !isPaused(s), 'the game did not go on after the turn');
  ok(`turned, the canvas is ${s.w} x ${s.h} and the game goes on`);
}

async function open(browser, origin, viewport) {
  ({page, log} = await openPage(browser, origin));
  await page.setViewport(viewport);
  cdp = await page.createCDPSession();
  // Every sound context the page makes, to see that the first tap starts them.
  await page.evaluateOnNewDocument(() => {
    const made = (window.jqSound = []);
    const construct = (Base, args) => made[made.push(new Base(...args)) - 1];
    window.AudioContext = new Proxy(window.AudioContext, {construct});
  });
  await page.goto(`${origin}/`);
  return waitFor(30, 'title', isTitle);
}

async function main() {
  fs.rmSync(out, {recursive: true, force: true});
  fs.mkdirSync(out, {recursive: true});
  const server = await serve(site);
  const browser = await launch();
  try {
    const desk = await open(browser, server.origin, {width: 1024, height: 768});
    check(desk.ok && fingerRow(desk) < 0.01, 'a desktop page did not show the mouse card');
    const title = await open(browser, server.origin, PHONE);
    check(title.ok, 'the title is not shown on the phone');
    check(
        W === PHONE.width && Math.abs(2 * page.box.y + H - PHONE.height) < 2,
        `upright, the canvas is ${W} x ${H} at ${page.box.y}, not the full width centred`);
    check(fingerRow(title) > 0.005, 'the title shows no fingers on a touch screen');
    fs.copyFileSync(path.join(out, 'title.png'), path.join(out, 'touch-title.png'));
    ok(`the touch title fills the ${W} px width`);
    await tap(W / 2, H / 2);
    check((await waitFor(5, '02-playing', isRunning)).ok, 'a tap did not start the game');
    const sound = await page.evaluate(() => window.jqSound.map((c) => c.state));
    check(sound.length && !sound.includes('suspended'), `the tap left the sound ${sound}`);
    await flickWithAStrayFinger();
    await view();
    await pause();
    await pageStaysPut();
    await turnThePhone();
    check(!log.problems().length, `the page reported problems:\n  ${log.problems().join('\n  ')}`);
    console.log('passed');
    for (const f of fs.readdirSync(out))
      if (!/^(touch-title|phone-mid-game)\.png$/.test(f)) fs.rmSync(path.join(out, f));
  } finally {
    await browser.close();
    await server.close();
  }
}

main().catch((e) => {
  console.error(`FAIL: ${e.message}\n(screenshots in ${out})`);
  process.exit(1);
});
