// The page around the game in the engine under test, served by a plain static server: the board fits
// every screen from the first frame, shows only its own colours however large, the page installs, stays
// light on the wire, and a new build replaces the one kept for offline play.
//
//   ZOPP_ENGINE=<engine> ZOPP_DIST=<dist/web> ZOPP_PLAYER=<reference_player> ZOPP_SOURCE=<source folder> \
//   node --test-name-pattern=<case> page_e2e.mjs
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { appendFileSync, readFileSync, readdirSync, utimesSync } from 'node:fs';
import { join } from 'node:path';
import test from 'node:test';

import { opts, setupScreenDigest, skipWithout, sleep, untilOfflineReady, waitForDigest, withPage } from '../../harness/web/page_harness.mjs';

skipWithout(join(opts.dist, 'index.html'), 'scripts/package');

const SMALL_PHONE = { width: 320, height: 480, deviceScaleFactor: 2, mobile: true };
const PHONE_UPRIGHT = { width: 390, height: 844, deviceScaleFactor: 3, mobile: true };
const PHONE_SIDEWAYS = { width: 844, height: 390, deviceScaleFactor: 3, mobile: true };
const LAPTOP = { width: 1280, height: 720 };
const WINDOW_UPRIGHT = { width: 390, height: 844 };
const WINDOW_SIDEWAYS = { width: 844, height: 390 };
const LARGE_DISPLAY = { width: 2560, height: 1440 };
const WINDOW_AT_SCALE_1_25 = { width: 1366, height: 768, deviceScaleFactor: 1.25 };
const EXACT_FIT = { width: 640, height: 480 };
const UHD_DISPLAY = { width: 3840, height: 2160 };
const LAPTOP_AT_SCALE_2 = { ...LAPTOP, deviceScaleFactor: 2 };
const TRANSFER_LIMIT = 200 * 1024;

const describe = screen => `${screen.width}×${screen.height} at scale ${screen.deviceScaleFactor ?? 1}`;

async function untilSetupScreen(page) {
    const setupScreen = await setupScreenDigest();
    assert.equal(await waitForDigest(page, digest => digest === setupScreen), setupScreen, 'no setup screen');
}

// The whole board shows without scrolling, at 4:3, on whole device pixels, and as large as fits: 90 % of
// the largest 4:3 box the viewport allows, or the largest whole number of device pixels per canvas pixel
// when that is at least one CSS pixel. The heading and the links make room for it.
function checkFit(shown, screen, when = 'settled') {
    const { canvas, ratio } = shown, where = `${describe(screen)}, ${when}`, epsilon = 0.01;
    assert.ok(canvas.left >= -epsilon && canvas.top >= -epsilon && canvas.right <= shown.width + epsilon &&
          canvas.bottom <= shown.height + epsilon, `${where}: the board ${JSON.stringify(canvas)} leaves the viewport`);
    assert.ok(Math.abs((canvas.width * 3) / (canvas.height * 4) - 1) < 0.005, `${where}: the board is not 4:3`);
    for (const edge of ['left', 'top', 'width', 'height']) {
        const device = canvas[edge] * ratio;
        assert.ok(Math.abs(device - Math.round(device)) < 0.05, `${where}: the board's ${edge} is not on a device pixel`);
    }
    const scale = (canvas.width * ratio) / 640, largest = Math.min((shown.width * ratio) / 640, (shown.height * ratio) / 480);
    const whole = Math.abs(scale - Math.round(scale)) < 1e-3 && Math.round(scale) === Math.floor(largest + 1e-6) &&
        scale >= ratio - 1e-6;
    assert.ok(scale >= 0.9 * largest || whole,
          `${where}: the board shows ${scale.toFixed(3)} device pixels per canvas pixel, where ${largest.toFixed(3)} fit`);
    // Less than a pixel of a margin under the board, where the board rounds to whole pixels, is no overlap.
    for (const other of ['heading', 'links']) {
        const box = shown[other], overlap = (from, to) => Math.max(0, Math.min(from.end, to.end) - Math.max(from.start, to.start));
        const across = overlap({ start: box.left, end: box.right }, { start: canvas.left, end: canvas.right });
        const down = overlap({ start: box.top, end: box.bottom }, { start: canvas.top, end: canvas.bottom });
        assert.ok(Math.min(across, down) < 1, `${where}: the ${other} cover the board`);
    }
}

// The board's place on the page's first frame and once it has settled.
async function checkFitFromTheFirstFrame(page, screen) {
    // The load may end before the first frame is painted.
    for (const end = Date.now() + 10000; !await page.evaluate('window.zoppFirstFrame') && Date.now() < end;)
        await sleep(10);
    const shown = await page.layout(), first = shown.firstFrame;
    assert.ok(first, `${describe(screen)}: no first frame`);
    checkFit({ ...shown, canvas: { ...first, right: first.left + first.width, bottom: first.top + first.height } },
             screen, 'on the first frame');
    checkFit(shown, screen);
    return shown;
}

// Loads at every screen, then resizes and turns without a reload: from the board that fills the window to
// the others.
async function fitEach(screens, turns) {
    await withPage(opts.dist, async (page, server) => {
        for (const screen of screens) {
            await page.setViewport(screen.width, screen.height, screen);
            await page.open(`${server.url}index.html`);
            const shown = await checkFitFromTheFirstFrame(page, screen);
            console.log(`${describe(screen)}: board ${shown.canvas.width}×${shown.canvas.height} at ${shown.canvas.left},${shown.canvas.top}`);
        }
        for (const screen of turns) {
            await page.setViewport(screen.width, screen.height, screen);
            await page.evaluate('new Promise(resolve => requestAnimationFrame(() => resolve(true)))');
            checkFit(await page.layout(), screen);
        }
    });
}

// On a display of device scale 2 every device pixel of the board has a colour of the canvas; where the
// board shows a whole number of device pixels per canvas pixel, each canvas pixel is such a block.
async function sharp() {
    await withPage(opts.dist, async (page, server) => {
        await page.open(`${server.url}index.html`);
        await untilSetupScreen(page);
        const { canvas, ratio } = await page.layout();
        const viewport = await page.page.screenshot();
        const left = Math.round(canvas.left * ratio), top = Math.round(canvas.top * ratio);
        const shot = { width: Math.round(canvas.width * ratio), height: Math.round(canvas.height * ratio) };
        shot.rgba = Buffer.alloc(shot.width * shot.height * 4);
        for (let y = 0; y < shot.height; ++y) {
            viewport.data.copy(shot.rgba, y * shot.width * 4, ((top + y) * viewport.width + left) * 4,
                               ((top + y) * viewport.width + left + shot.width) * 4);
        }
        assert.ok(viewport.width >= left + shot.width && viewport.height >= top + shot.height,
                  `the screenshot is ${viewport.width}×${viewport.height} device pixels, the board ends at ${left + shot.width},${top + shot.height}`);
        assert.ok(shot.width > 640, `the board is not shown larger than its natural size (${shot.width} device pixels wide)`);
        const pixels = await page.canvasPixels(0, 0, 640, 480);
        const colour = (bytes, i) => (bytes[4 * i] << 16) | (bytes[4 * i + 1] << 8) | bytes[4 * i + 2];
        const own = new Set();
        for (let i = 0; i < 640 * 480; ++i) own.add(colour(pixels, i));
        const scale = shot.width / 640, whole = Number.isInteger(scale) && shot.height === 480 * scale;
        let foreign = 0, misplaced = 0, first = null;
        for (let y = 0; y < shot.height; ++y) {
            for (let x = 0; x < shot.width; ++x) {
                const shown = colour(shot.rgba, y * shot.width + x);
                if (!own.has(shown) && foreign++ === 0) first = `${shown.toString(16)} at ${x},${y}`;
                if (whole && shown !== colour(pixels, Math.floor(y / scale) * 640 + Math.floor(x / scale))) ++misplaced;
            }
        }
        assert.ok(foreign === 0, `${foreign} device pixels of the board show colours the canvas does not hold (first: ${first})`);
        assert.ok(misplaced === 0, `${misplaced} device pixels differ from the canvas pixel they show`);
        console.log(`${shot.width}×${shot.height} device pixels, ${own.size} colours, ` +
                    `${whole ? `${scale}×${scale} blocks` : 'nearest-neighbour'}: only the canvas's own colours`);
    }, { screen: LAPTOP_AT_SCALE_2 });
}

// Chromium's own installability check finds nothing to object to, and the manifest's icons are the sizes
// it says they are.
async function installable() {
    await withPage(opts.dist, async (page, server) => {
        await page.open(`${server.url}index.html`);
        await untilOfflineReady(page);
        const { errors } = await page.page.devtools('Page.getAppManifest');
        assert.ok(errors.length === 0, `the manifest has errors: ${JSON.stringify(errors)}`);
        const { installabilityErrors } = await page.page.devtools('Page.getInstallabilityErrors');
        assert.ok(installabilityErrors.length === 0, `not installable: ${JSON.stringify(installabilityErrors)}`);
    }, { screen: LAPTOP });
    const manifest = JSON.parse(readFileSync(join(opts.dist, 'manifest.webmanifest'), 'utf8'));
    assert.ok(['standalone', 'fullscreen'].includes(manifest.display), `display: ${manifest.display}`);
    assert.ok(/^#[0-9a-f]{6}$/i.test(manifest.theme_color ?? ''), `theme_color: ${manifest.theme_color}`);
    for (const icon of manifest.icons) {
        const png = readFileSync(join(opts.dist, icon.src));
        const size = `${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`;
        assert.ok(size === icon.sizes, `${icon.src} is ${size}, the manifest says ${icon.sizes}`);
    }
    const sizes = purpose => manifest.icons.filter(icon => (icon.purpose ?? 'any') === purpose).map(icon => icon.sizes);
    assert.ok(sizes('any').includes('192x192') && sizes('any').includes('512x512'), 'no icons of 192 and 512 pixels');
    assert.ok(sizes('maskable').length > 0, 'no maskable icon');
}

// A first visit to the page as it is, until it can be played offline, from a server that compresses
// nothing: until the worker comes, each file is asked for once. WebKit's automation session keeps no HTTP
// cache for the worker to revalidate from, so there the worker fetches every file again in full.
async function transfer() {
    await withPage(opts.dist, async (page, server) => {
        await page.open(`${server.url}index.html`);
        await untilOfflineReady(page);
        await sleep(500);  // anything the browser fetches at leisure
        const paths = server.responses().map(response => response.path).filter(path => path);
        const beforeWorker = paths.slice(0, paths.indexOf('/sw.js'));
        assert.deepEqual(beforeWorker.filter((path, i) => beforeWorker.indexOf(path) !== i), [],
                         `asked for more than once: ${beforeWorker.join(' ')}`);
        if (page.engine === 'webkit') return;
        const bytes = server.bytesSent();
        console.log(`a first visit transfers ${bytes} bytes (${(bytes / 1024).toFixed(1)} KB)`);
        assert.ok(bytes < TRANSFER_LIMIT, `a first visit transfers ${bytes} bytes, more than ${TRANSFER_LIMIT}`);
    }, { screen: LAPTOP, countBytes: true, plain: true });
}

// A visit after a new build went up: the worker of the new build replaces the cache of the old one, and
// the visit after shows the new build. The new build is the old one with a changed page, its worker
// written by the build's own step.
async function update() {
    await withPage(opts.dist, async (page, server) => {
        const { folder } = server;
        // The old build went up an hour ago. The server's dates have whole seconds, so a change within the
        // second of the copy would look unmodified to the new worker's revalidation and keep the old page.
        const anHourAgo = new Date(Date.now() - 3600 * 1000);
        for (const file of readdirSync(folder, { recursive: true })) {
            utimesSync(join(folder, file), anHourAgo, anHourAgo);
        }
        const url = `${server.url}index.html`;
        await page.open(url);
        await untilOfflineReady(page);
        const caches = () => page.evaluate('caches.keys()');
        const [before] = await caches();

        appendFileSync(join(folder, 'index.html'), '<!-- the next build -->\n');
        const files = JSON.parse(readFileSync(join(folder, 'sw.js'), 'utf8').match(/const FILES = (\[.*\]);/)[1]);
        execFileSync(join(opts.source, 'screen', 'web', 'page', 'write-service-worker'),
                     [folder, join(opts.source, 'screen', 'web', 'page', 'service-worker.js.in'), ...files]);
        await page.open(url);
        let after = [];
        for (const end = Date.now() + 10000; Date.now() < end; await sleep(50)) {
            after = await caches();
            if (after.length === 1 && after[0] !== before) break;
        }
        assert.ok(after.length === 1 && after[0] !== before,
                  `after a new build the caches are ${JSON.stringify(after)} (before: ${before})`);
        await page.open(url);
        const shown = await page.evaluate('fetch("index.html").then(response => response.text())');
        assert.ok(shown.includes('the next build'), 'the visit after the new build still shows the old page');
    });
}

test('fit', () => fitEach([PHONE_UPRIGHT, PHONE_SIDEWAYS, LAPTOP, LARGE_DISPLAY, SMALL_PHONE, WINDOW_AT_SCALE_1_25,
                           EXACT_FIT, UHD_DISPLAY], [EXACT_FIT, LAPTOP, PHONE_SIDEWAYS, PHONE_UPRIGHT]));
// Windows of a phone's and a laptop's sizes, whose scroll bars take room from the page.
test('fit-in-a-window', () => fitEach([WINDOW_UPRIGHT, WINDOW_SIDEWAYS, LAPTOP], [WINDOW_SIDEWAYS, WINDOW_UPRIGHT]));
test('sharp', sharp);
test('installable', installable);
test('transfer', transfer);
test('update', update);

