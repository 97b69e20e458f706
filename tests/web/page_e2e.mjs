// The page around the game in a headless Chromium, served by a plain static server: the board fits every
// screen, shows only its own colours however large, the page installs, stays light on the wire, and a new
// build replaces the one kept for offline play.
//
//   node page_e2e.mjs <case> --dist <dist/web> --player <reference_player> --source <source folder>
// Cases: fit, sharp, installable, transfer, update. Exit code 77: skipped (no dist/web).
import { execFileSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdtempSync, readFileSync, readdirSync, rmSync, utimesSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { decodePng } from './png.mjs';
import { Match, check, runCase, setupScreenDigest, untilOfflineReady, withBrowser } from './page_harness.mjs';

const SMALL_PHONE = { width: 320, height: 480, deviceScaleFactor: 2, mobile: true };
const PHONE_UPRIGHT = { width: 390, height: 844, deviceScaleFactor: 3, mobile: true };
const PHONE_SIDEWAYS = { width: 844, height: 390, deviceScaleFactor: 3, mobile: true };
const LAPTOP = { width: 1280, height: 720 };
const LARGE_DISPLAY = { width: 2560, height: 1440 };
const WINDOW_AT_SCALE_1_25 = { width: 1366, height: 768, deviceScaleFactor: 1.25 };
const EXACT_FIT = { width: 640, height: 480 };
const UHD_DISPLAY = { width: 3840, height: 2160 };
const LAPTOP_AT_SCALE_2 = { ...LAPTOP, deviceScaleFactor: 2 };
const TRANSFER_LIMIT = 200 * 1024;

const describe = screen => `${screen.width}×${screen.height} at scale ${screen.deviceScaleFactor ?? 1}`;

async function untilSetupScreen(page, opts) {
    const setupScreen = await setupScreenDigest(opts.player, opts.source);
    const seen = await Match.waitForDigest(page, digest => digest === setupScreen);
    check(seen === setupScreen, `the page does not show the setup screen (${seen})`);
}



async function layout(page) {
    return page.evaluate(`(() => {
        const box = element => {
            const { left, top, right, bottom, width, height } = element.getBoundingClientRect();
            return { left, top, right, bottom, width, height };
        };
        const root = document.documentElement;
        return { canvas: box(document.getElementById('screen')), heading: box(document.querySelector('h1')),
                 links: box(document.querySelector('footer')), width: root.clientWidth, height: root.clientHeight,
                 ratio: devicePixelRatio };
    })()`);
}

// The whole board shows without scrolling, at 4:3, on whole device pixels, and as large as fits: 90 % of
// the largest 4:3 box the viewport allows, or the largest whole number of device pixels per canvas pixel
// when that is at least one CSS pixel. The heading and the links make room for it.
function checkFit(shown, screen) {
    const { canvas, ratio } = shown, where = describe(screen), epsilon = 0.01;
    check(canvas.left >= -epsilon && canvas.top >= -epsilon && canvas.right <= shown.width + epsilon &&
          canvas.bottom <= shown.height + epsilon, `${where}: the board ${JSON.stringify(canvas)} leaves the viewport`);
    check(Math.abs((canvas.width * 3) / (canvas.height * 4) - 1) < 0.005, `${where}: the board is not 4:3`);
    for (const edge of ['left', 'top', 'width', 'height']) {
        const device = canvas[edge] * ratio;
        check(Math.abs(device - Math.round(device)) < 0.05, `${where}: the board's ${edge} is not on a device pixel`);
    }
    const scale = (canvas.width * ratio) / 640, largest = Math.min((shown.width * ratio) / 640, (shown.height * ratio) / 480);
    const whole = Math.abs(scale - Math.round(scale)) < 1e-3 && Math.round(scale) === Math.floor(largest + 1e-6) &&
        scale >= ratio - 1e-6;
    check(scale >= 0.9 * largest || whole,
          `${where}: the board shows ${scale.toFixed(3)} device pixels per canvas pixel, where ${largest.toFixed(3)} fit`);
    // Less than a pixel of a margin under the board, where the board rounds to whole pixels, is no overlap.
    for (const other of ['heading', 'links']) {
        const box = shown[other], overlap = (from, to) => Math.max(0, Math.min(from.end, to.end) - Math.max(from.start, to.start));
        const across = overlap({ start: box.left, end: box.right }, { start: canvas.left, end: canvas.right });
        const down = overlap({ start: box.top, end: box.bottom }, { start: canvas.top, end: canvas.bottom });
        check(Math.min(across, down) < 1, `${where}: the ${other} cover the board`);
    }
}

async function fit(opts) {
    await withBrowser(opts.dist, async (page, server) => {
        const screens = [PHONE_UPRIGHT, PHONE_SIDEWAYS, LAPTOP, LARGE_DISPLAY,
                         SMALL_PHONE, WINDOW_AT_SCALE_1_25, EXACT_FIT, UHD_DISPLAY];
        for (const screen of screens) {
            await page.setViewport(screen.width, screen.height, screen);
            await page.open(`${server.url}index.html`);
            const shown = await layout(page);
            checkFit(shown, screen);
            console.log(`${describe(screen)}: board ${shown.canvas.width}×${shown.canvas.height} at ${shown.canvas.left},${shown.canvas.top}`);
        }
        // Resizing and turning, without a reload: from the board that fills the window to the others.
        for (const screen of [EXACT_FIT, LAPTOP, PHONE_SIDEWAYS, PHONE_UPRIGHT]) {
            await page.setViewport(screen.width, screen.height, screen);
            await page.evaluate('new Promise(resolve => requestAnimationFrame(() => resolve(true)))');
            checkFit(await layout(page), screen);
        }
    });
}

// On a display of device scale 2 every device pixel of the board has a colour of the canvas; where the
// board shows a whole number of device pixels per canvas pixel, each canvas pixel is such a block.
async function sharp(opts) {
    await withBrowser(opts.dist, async (page, server) => {
        await page.open(`${server.url}index.html`);
        await untilSetupScreen(page, opts);
        const { canvas, ratio } = await layout(page);
        const { data } = await page.send('Page.captureScreenshot', {
            format: 'png', clip: { x: canvas.left, y: canvas.top, width: canvas.width, height: canvas.height, scale: 1 },
        });
        const shot = decodePng(Buffer.from(data, 'base64'));
        check(shot.width === Math.round(canvas.width * ratio) && shot.height === Math.round(canvas.height * ratio),
              `the screenshot is ${shot.width}×${shot.height} device pixels, the board ${canvas.width}×${canvas.height} CSS pixels`);
        check(shot.width > 640, `the board is not shown larger than its natural size (${shot.width} device pixels wide)`);
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
        check(foreign === 0, `${foreign} device pixels of the board show colours the canvas does not hold (first: ${first})`);
        check(misplaced === 0, `${misplaced} device pixels differ from the canvas pixel they show`);
        console.log(`${shot.width}×${shot.height} device pixels, ${own.size} colours, ` +
                    `${whole ? `${scale}×${scale} blocks` : 'nearest-neighbour'}: only the canvas's own colours`);
    }, { screen: LAPTOP_AT_SCALE_2 });
}

// Chromium's own installability check finds nothing to object to, and the manifest's icons are the sizes
// it says they are.
async function installable(opts) {
    await withBrowser(opts.dist, async (page, server) => {
        await page.open(`${server.url}index.html`);
        await untilOfflineReady(page);
        const { errors } = await page.send('Page.getAppManifest');
        check(errors.length === 0, `the manifest has errors: ${JSON.stringify(errors)}`);
        const { installabilityErrors } = await page.send('Page.getInstallabilityErrors');
        check(installabilityErrors.length === 0, `not installable: ${JSON.stringify(installabilityErrors)}`);
    }, { screen: LAPTOP });
    const manifest = JSON.parse(readFileSync(join(opts.dist, 'manifest.webmanifest'), 'utf8'));
    check(['standalone', 'fullscreen'].includes(manifest.display), `display: ${manifest.display}`);
    check(/^#[0-9a-f]{6}$/i.test(manifest.theme_color ?? ''), `theme_color: ${manifest.theme_color}`);
    for (const icon of manifest.icons) {
        const png = readFileSync(join(opts.dist, icon.src));
        const size = `${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`;
        check(size === icon.sizes, `${icon.src} is ${size}, the manifest says ${icon.sizes}`);
    }
    const sizes = purpose => manifest.icons.filter(icon => (icon.purpose ?? 'any') === purpose).map(icon => icon.sizes);
    check(sizes('any').includes('192x192') && sizes('any').includes('512x512'), 'no icons of 192 and 512 pixels');
    check(sizes('maskable').length > 0, 'no maskable icon');
}

// A first visit, until the page can be played offline, from a server that compresses nothing.
async function transfer(opts) {
    await withBrowser(opts.dist, async (page, server) => {
        await page.open(`${server.url}index.html`);
        await untilSetupScreen(page, opts);
        await untilOfflineReady(page);
        await new Promise(resolve => setTimeout(resolve, 500));  // anything the browser fetches at leisure
        const bytes = server.bytesSent();
        console.log(`a first visit transfers ${bytes} bytes (${(bytes / 1024).toFixed(1)} KB)`);
        check(bytes < TRANSFER_LIMIT, `a first visit transfers ${bytes} bytes, more than ${TRANSFER_LIMIT}`);
    }, { screen: LAPTOP, countBytes: true });
}

// A visit after a new build went up: the worker of the new build replaces the cache of the old one, and
// the visit after shows the new build. The new build is the old one with a changed page, its worker
// written by the build's own step.
async function update(opts) {
    const folder = mkdtempSync(join(tmpdir(), 'zopp-web-update-'));
    try {
        cpSync(opts.dist, folder, { recursive: true });
        // The old build went up an hour ago. The server's dates have whole seconds, so a change within the
        // second of the copy would look unmodified to the new worker's revalidation and keep the old page.
        const anHourAgo = new Date(Date.now() - 3600 * 1000);
        for (const file of readdirSync(folder, { recursive: true })) {
            utimesSync(join(folder, file), anHourAgo, anHourAgo);
        }
        await withBrowser(folder, async (page, server) => {
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
            for (const end = Date.now() + 10000; Date.now() < end; await new Promise(resolve => setTimeout(resolve, 50))) {
                after = await caches();
                if (after.length === 1 && after[0] !== before) break;
            }
            check(after.length === 1 && after[0] !== before,
                  `after a new build the caches are ${JSON.stringify(after)} (before: ${before})`);
            await page.open(url);
            const shown = await page.evaluate('fetch("index.html").then(response => response.text())');
            check(shown.includes('the next build'), 'the visit after the new build still shows the old page');
        });
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

await runCase({ fit, sharp, installable, transfer, update });
