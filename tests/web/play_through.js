// Plays one game of the browser build in headless Chromium, in real time, as a player
// would, and checks each step on screenshots of the canvas: the title is a picture and
// a click takes it away and starts the sound; a blob grabbed and pulled down flies away
// from the pull; a right drag orbits and an arrow pans; P and Esc freeze every pixel and
// resume; M shows the speaker and only it; a hidden tab comes back paused; F11 and the
// page's button fill the screen and come back; after 90 s the end shows and a click
// starts a new game. The console must stay free of errors and warnings and no request
// may leave the page's origin. The title and a mid-game frame are kept in the output
// folder, every shot on failure.
//
// Usage: node play_through.js <site folder> <output folder>
'use strict';
const fs = require('fs');
const path = require('path');
const {serve, launch, openPage, shoot, sleep} = require('./harness');

const site = path.resolve(process.argv[2] || 'build-web/site');
const out = path.resolve(process.argv[3] || 'build-web/play_through');

// Colour classes of the game's pictures: the title's and end image's orange lettering,
// the display's dark ink, the blobs' blue jelly, the pale green of sky and fog, and the
// bright blue of the "Paused" lettering, which the dimmed blobs under it lack.
const LETTERING = (r, g, b) => r > 200 && g > 80 && g < 225 && b < 110 && r - b > 140;
const INK = (r, g, b) => Math.max(r, g, b) < 70;
const BLUE = (r, g, b) => b > 100 && b - r > 45;
const SKY = (r, g, b) => r > 150 && r < 210 && g > 235 && b > 150 && b < 210;
const PAUSED = (r, g, b) => b > 220 && b - r > 60;

let page, log, W, H, TOP;
const seconds = () => Date.now() / 1000;
const begun = seconds();
const ok = (what) => console.log(`${(seconds() - begun).toFixed(0).padStart(4)} s  ok: ${what}`);

function check(ok, what) {
  if (!ok) throw new Error(what);
}

const snap = (name) => shoot(page, name, out);

// Waits up to s seconds for a shot on which test passes; the last shot either way.
async function waitFor(s, name, test) {
  const end = seconds() + s;
  for (;;) {
    const shot = await snap(name);
    if (test(shot) || seconds() > end) return Object.assign(shot, {ok: test(shot)});
    await sleep(250);
  }
}
const expectShot = async (s, name, test, what) => check((await waitFor(s, name, test)).ok, what);

// What the screen shows, measured in half window widths as the game lays it out.
const isTitle = (s) =>
    s.share(LETTERING, s.w * 0.76, s.h / 2 - s.w * 0.15, s.w * 0.86, s.h / 2 - s.w * 0.07) > 0.08;
const isRunning = (s) => {
  const ink = s.share(INK, s.w * 0.015, s.w * 0.015, s.w * 0.155, s.w * 0.05);
  return ink > 0.05 && ink < 0.6;
};
const isComplete = (s) =>
    s.share(LETTERING, s.w / 4, s.h / 2 - s.w / 8, s.w * 0.75, s.h / 2, 2) > 0.025 && !isTitle(s);
const isPaused = (s) =>
    s.share(PAUSED, s.w * 0.32, s.h / 2 - s.w * 0.07, s.w * 0.68, s.h / 2 + s.w * 0.015, 2) > 0.08;
const playing = (s) => !isTitle(s) && isRunning(s);
const ended = (s) => isComplete(s) && !isRunning(s);
const playingAgain = (s) => isRunning(s) && !isComplete(s);
// The share of the play area that differs clearly between two shots.
const changed = (a, b) => a.differing(b, 0, TOP, W, H) / (W * (H - TOP));

// Two shots a second apart: a paused game's agree in every pixel and show the pause,
// a running game's differ (its fire, blobs and hand never stand still that long).
async function twoShots(name) {
  const a = await snap(`${name}-a`);
  await sleep(1000);
  return [a, await snap(`${name}-b`)];
}
const still = async (name) => twoShots(name).then(([a, b]) => a.identical(b) && isPaused(b));
const moving = async (name) => twoShots(name).then(([a, b]) => !a.identical(b));

// The pointer in canvas pixels; glide moves it through points, a pause after each.
const at = (x, y) => [page.box.x + x, page.box.y + y];
const move = (x, y) => page.mouse.move(...at(x, y));
const glide = async (points, gap) => {
  for (const [x, y] of points) await move(x, y), await sleep(gap);
};

async function flick() {
  for (let attempt = 0; attempt < 6; attempt++) {
    const before = await snap('03-untouched');
    const blob = before.patches(BLUE, TOP, (W * H) / 10000)[attempt];
    if (!blob) break;
    const radius = Math.round(Math.sqrt(blob.area / Math.PI) * 1.15);
    const r2 = (radius * 2) / 5;
    const [bx, by] = [Math.round(blob.x), Math.round(blob.y)];
    const py = by + 2 * radius;
    const spot = (s, x, y) => s.share(BLUE, x - r2, y - r2, x + r2, y + r2);
    // The pull ends on open ground, so a blob seen there later came by the throw.
    if (!(spot(before, bx, by) > 0.5 && spot(before, bx, py) <= 0.2)) continue;
    await move(bx, by);
    await sleep(200);
    await page.mouse.down();
    await glide([1, 2, 3, 4].map((step) => [bx, by + (step * radius) / 2]), 50);
    await sleep(300);
    await page.mouse.up();
    await sleep(1000);
    const after = await waitFor(3, '05-flicked', (s) => spot(s, bx, by) <= 0.3);
    if (!after.ok) continue;
    check(spot(after, bx, py) <= 0.3, 'the blob flew toward the pull, not away from it');
    return ok(`the blob at ${bx},${by} (radius ${radius}) was flicked away from the pull`);
  }
  check(false, 'no blob near the middle could be flicked');
}

async function orbitAndPan() {
  await move(W / 2, H / 2);
  await sleep(200);
  const before = await snap('06-before-orbit');
  await page.mouse.down({button: 'right'});
  await glide(
      [...Array(8).keys()].map(
          (i) => [W / 2 + (W * 12 * (i + 1)) / 800, H / 2 - (H * 5 * (i + 1)) / 800]),
      40);
  await page.mouse.up({button: 'right'});
  await sleep(300);
  const orbited = await snap('07-orbited');
  check(changed(before, orbited) > 0.3, 'a right drag did not orbit the camera');
  // Dragged up, the camera sinks toward the horizon: the fog-green sky shows at the top.
  const sky = (s) => s.share(SKY, 0, TOP, W, TOP + H / 8, 2);
  check(sky(before) <= 0.3 && sky(orbited) > 0.7, 'dragging up did not lower the camera');
  await page.keyboard.down('ArrowLeft');
  await sleep(400);
  await page.keyboard.up('ArrowLeft');
  await sleep(300);
  const panned = await snap('08-panned');
  check(changed(orbited, panned) > 0.2, 'an arrow key did not pan the camera');
  fs.copyFileSync(path.join(out, '08-panned.png'), path.join(out, 'mid-game.png'));
  ok('the camera orbits and pans');
}

// While paused, M toggles the speaker in the bottom right corner and nothing else.
async function mute() {
  const quiet = await snap('11-sound-on');
  await page.keyboard.press('m');
  await sleep(300);
  const muted = await snap('11-muted');
  const side = H * 0.06;
  const [x1, y1] = [Math.round(W - H * 0.02), Math.round(H - H * 0.02)];
  const [x0, y0] = [Math.round(x1 - side), Math.round(y1 - side)];
  const inside = muted.differing(quiet, x0, y0, x1, y1);
  check(inside > side * side * 0.2, 'M showed no speaker in the corner');
  check(muted.differing(quiet) === inside, 'M changed the picture outside the speaker');
  await page.keyboard.press('m');
  await sleep(300);
  check((await snap('11-sound-back')).identical(quiet), 'a second M did not take the speaker away');
  ok('M shows the speaker and takes it away');
}

// The game's 90 seconds wait for every pause: each pause's length is added to the start.
async function pauses(started) {
  for (const key of ['p', 'Escape']) {
    const since = seconds();
    await page.keyboard.press(key);
    await sleep(500);
    check(await still(`09-paused-${key}`), `${key} did not pause the game`);
    if (key === 'p') await mute();
    await page.keyboard.press(key);
    started += seconds() - since;
    check(await moving(`10-resumed-${key}`), `a second ${key} did not bring the game back`);
  }
  const since = seconds();
  // Another tab in front hides the game's and stops its frames.
  const other = await page.browser().newPage();
  await other.bringToFront();
  await sleep(1000);
  await other.close();
  await page.bringToFront();
  await sleep(500);
  check(await still('12-shown-again'), 'the game went on while its tab was hidden, or after');
  await move(W / 2, H / 2);
  await page.mouse.click(...at(W / 2, H / 2));
  started += seconds() - since;
  check(await moving('13-clicked-on'), 'a click on the paused game did not bring it back');
  ok('P, Esc and a hidden tab pause the game');
  return started;
}

// F11 and the page's own button each put the canvas on the whole screen and take it back.
async function fullScreen() {
  const screen = await page.evaluate(() => [screen.width, screen.height]);
  const toggles = [
    ['F11', () => page.keyboard.press('F11')],
    ['the button', async () => (await page.$('button')).click()],
  ];
  for (const [name, toggle] of toggles) {
    await toggle();
    await sleep(500);
    const full = await snap('14-full-screen');
    check(full.w === screen[0] && full.h === screen[1], `${name} did not fill the screen`);
    check(playing(full), `the game was not shown in full screen (by ${name})`);
    await toggle();
    await sleep(500);
    const back = await snap('15-windowed');
    const same = JSON.stringify(back.box) === JSON.stringify(page.box);
    check(same, `the canvas did not come back to its place (by ${name})`);
  }
  ok('F11 and the button fill the screen and come back');
}

async function main() {
  fs.rmSync(out, {recursive: true, force: true});
  fs.mkdirSync(out, {recursive: true});
  const server = await serve(site);
  const browser = await launch();
  ({page, log} = await openPage(browser, server.origin));
  try {
    // Every sound context the page makes, to see that the title's click starts them.
    await page.evaluateOnNewDocument(() => {
      const made = (window.jqSound = []);
      const construct = (Base, args) => made[made.push(new Base(...args)) - 1];
      window.AudioContext = new Proxy(window.AudioContext, {construct});
    });
    await page.goto(`${server.origin}/`);
    // The canvas takes its place on the page at once; the data may take a while.
    ({w: W, h: H, box: page.box} = await snap('title'));
    TOP = Math.round(W * 0.06);
    const across = await page.evaluate(() => innerWidth);
    check(
        Math.abs(3 * W - 4 * H) < 4 && Math.abs(2 * page.box.x + W - across) < 2,
        'the canvas is not 4:3 in the middle');
    await expectShot(30, 'title', isTitle, 'the title is not shown');
    ok(`the title shows on a ${W} x ${H} canvas at ${page.box.x},${page.box.y}`);
    await move(W / 2, H / 2);
    await page.mouse.click(...at(W / 2, H / 2));
    let started = seconds();
    await expectShot(5, '02-playing', playing, 'a click did not take the title away');
    const sound = await page.evaluate(() => window.jqSound.map((c) => c.state));
    check(sound.length && !sound.includes('suspended'), `the click left the sound ${sound}`);
    await flick();
    await orbitAndPan();
    started = await pauses(started);
    await fullScreen();
    // Left alone, no game loses its last blob before 40 s: still on then means a clock
    // that keeps time, over at 90 s one that does not stop.
    await sleep(1000 * (started + 40 - seconds()));
    check(playingAgain(await snap('16-running')), 'the game was over before 40 s');
    await sleep(1000 * (started + 87 - seconds()));
    await expectShot(25, '17-complete', ended, 'no completion image when the clock ran out');
    ok(`the end shows after ${Math.round(seconds() - started)} s`);
    await sleep(1000);  // a click counts from three quarters of a second after the end
    await page.mouse.click(...at(W / 2, H / 2));
    await expectShot(5, '18-new-game', playingAgain, 'a click after the end started no new game');
    ok('a click starts the next game');
    check(!log.problems().length, 'the page reported problems');
    console.log(`passed (${server.stats.requests} requests, all to ${server.origin})`);
    for (const f of fs.readdirSync(out))
      if (!/^(title|mid-game)\.png$/.test(f)) fs.rmSync(path.join(out, f));
  } finally {
    await browser.close();
    await server.close();
  }
}

main().catch((e) => {
  const problems = log ? log.problems().join('\n  ') : '';
  console.error(`FAIL: ${e.message}\n(screenshots in ${out})${
      problems && `\nthe page reported:\n  ${problems}`}`);
  process.exit(1);
});
