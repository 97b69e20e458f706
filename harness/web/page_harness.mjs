// What the browser tests share: the engine and the folders they test (from the environment), a page of
// an engine with the page served beside it, input on the canvas in canvas pixels, and the Linux build's
// frames to compare with (reference_player).
//
//   ZOPP_ENGINE=firefox ZOPP_DIST=dist/web ZOPP_PLAYER=... ZOPP_SOURCE=. node game_e2e.mjs
// Exit code 77, before any case: the page under test is not built.
import { spawn } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { createRequire } from 'node:module';
import { createInterface } from 'node:readline';

import { launch } from './engines.mjs';
import { instrumentedCopy, plainCopy, serveFolder } from './site.mjs';

// A file of a package installed beside the harness (scripts/install-web-drivers), for a page to load.
export const packageFile = name => readFileSync(createRequire(import.meta.url).resolve(name), 'utf8');

const SKIP = 77;
export const ENGINE = process.env.ZOPP_ENGINE ?? 'chromium';
const folder = name => (process.env[name] ? resolve(process.env[name]) : undefined);
export const opts = { dist: folder('ZOPP_DIST'), player: folder('ZOPP_PLAYER'), source: folder('ZOPP_SOURCE') };
export const sleep = ms => new Promise(done => setTimeout(done, ms));

// Skips the whole file (77) while the named file is absent, saying what builds it.
export function skipWithout(file, builder) {
    if (!existsSync(file)) {
        console.log(`skipped: no ${file}; ${builder} builds it`);
        process.exit(SKIP);
    }
}

// A page of the engine under test, with input and reading in canvas pixels whatever the canvas's scale.
export class CanvasPage {
    constructor(page) {
        this.page = page;
        this.engine = page.engine;
        this.mouse = null;  // the canvas pixel the pointer is at
    }
    evaluate(expression) {
        return this.page.evaluate(expression);
    }
    async open(url) {
        this.box = null;
        this.mouse = null;
        await this.page.open(url);
    }
    async setViewport(width, height, screen = {}) {
        this.box = null;
        await this.page.setViewport(width, height, screen);
    }

    // The canvas's box in the viewport, in CSS pixels, and its size in canvas pixels.
    async canvasBox() {
        this.box ??= await this.evaluate(`(() => {
            const canvas = document.getElementById('screen'), box = canvas.getBoundingClientRect();
            return { left: box.left, top: box.top, width: box.width, height: box.height,
                     pixelsWide: canvas.width, pixelsHigh: canvas.height };
        })()`);
        return this.box;
    }
    // A point of canvas pixel (x, y) in the viewport: on a whole CSS pixel where the canvas pixel covers
    // one, as some drivers round there, else its centre.
    async viewportPoint(x, y) {
        const box = await this.canvasBox();
        const within = (start, size, pixels, at) => {
            const from = start + (at * size) / pixels, to = start + ((at + 1) * size) / pixels;
            return Math.ceil(from) < to ? Math.ceil(from) : (from + to) / 2;
        };
        return { x: within(box.left, box.width, box.pixelsWide, x), y: within(box.top, box.height, box.pixelsHigh, y) };
    }
    // Moves the pointer to canvas pixel (x, y), as a hand would: in steps of at most 40 canvas pixels, or
    // in one.
    async moveMouse(x, y, { oneMotion = false } = {}) {
        const from = this.mouse ?? { x: -20, y: -20 };
        const distance = Math.max(Math.abs(x - from.x), Math.abs(y - from.y));
        const steps = oneMotion ? 1 : Math.max(1, Math.ceil(distance / 40));
        for (let i = 1; i <= steps; ++i) {
            const px = Math.round(from.x + ((x - from.x) * i) / steps), py = Math.round(from.y + ((y - from.y) * i) / steps);
            await this.page.pointer('move', await this.viewportPoint(px, py));
        }
        this.mouse = { x, y };
    }
    // A click at canvas pixel (x, y): the pointer moves there, the button goes down and up.
    async click(x, y, { button = 'left', oneMotion = false } = {}) {
        await this.moveMouse(x, y, { oneMotion });
        await this.page.pointer('press', button);
        await this.page.pointer('release', button);
    }
    async tap(x, y) {
        await this.page.tap(await this.viewportPoint(x, y));
    }
    // The board's control over canvas pixel (x, y) activated by keys alone: a die (x 70-360, y 380-430)
    // by its number, the message button by W, any other reached by Tab or Shift+Tab, then Enter or Space
    // (by the step's parity). False when no control that acts is there.
    async activateByKeys(x, y, step) {
        const point = await this.viewportPoint(x, y);
        const where = () => this.evaluate(`(controls => [controls.findIndex(control => {
            const box = control.getBoundingClientRect();
            return ${point.x} >= box.left && ${point.x} < box.right && ${point.y} >= box.top && ${point.y} < box.bottom;
        }), controls.indexOf(document.activeElement)])([...document.querySelectorAll('#mirror button')]
            .filter(control => !control.disabled && !control.closest('[hidden]')))`);
        const press = async (...keys) => {
            for (const key of keys) await this.page.key(key, true);
            for (const key of keys.reverse()) await this.page.key(key, false);
        };
        let [at, focused] = await where();
        if (at < 0) return false;
        if (y >= 380 && y < 430) return press(x < 370 ? String(Math.floor((x - 10) / 60)) : 'w').then(() => true);
        for (let tabs = 0; focused !== at; ++tabs) {
            if (tabs === 40) throw new Error(`Tab does not reach the control at ${x},${y}`);
            await press(...(focused > at ? ['Shift_L', 'Tab'] : ['Tab']));
            [at, focused] = await where();
        }
        await press(step % 2 ? 'Return' : 'space');
        return true;
    }
    // RGBA bytes of a rectangle of the canvas, row by row, as getImageData gives them; null without one.
    async canvasPixels(x, y, width, height) {
        const base64 = await this.evaluate(`(() => {
            const canvas = document.getElementById('screen');
            if (!canvas) return '';
            const data = canvas.getContext('2d').getImageData(${x}, ${y}, ${width}, ${height}).data;
            let text = '';
            for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode(...data.subarray(i, i + 0x8000));
            return btoa(text);
        })()`);
        return base64 === '' ? null : Buffer.from(base64, 'base64');
    }
    // The layout of the page's parts, in CSS pixels of the viewport.
    layout() {
        return this.evaluate(`(() => {
            const box = element => {
                const { left, top, right, bottom, width, height } = element.getBoundingClientRect();
                return { left, top, right, bottom, width, height };
            };
            const root = document.documentElement;
            return { canvas: box(document.getElementById('screen')), heading: box(document.querySelector('h1')),
                     links: box(document.querySelector('footer')), width: root.clientWidth, height: root.clientHeight,
                     ratio: devicePixelRatio, firstFrame: window.zoppFirstFrame };
        })()`);
    }
}

// Runs body(page, server) on the folder, instrumented and served, in a fresh browser of the engine under
// test (no cache, no service worker yet). The viewport is a desktop's 800×720 unless `screen` says
// otherwise ({ width, height, deviceScaleFactor, mobile }); touch gives it a touch screen; countBytes
// counts what the server sends (server.bytesSent()); extra is more script to run first in the page, and
// plain leaves the pages as they are, uninstrumented. The folder served is server.folder.
export async function withPage(site, body, { touch = false, screen = {}, countBytes = false, extra = '', plain = false } = {}) {
    const copy = plain ? plainCopy(site) : instrumentedCopy(site, extra);
    const server = { ...await serveFolder(copy.folder, { countBytes }), folder: copy.folder };
    const browser = await launch(ENGINE);
    try {
        const page = new CanvasPage(await browser.newPage());
        const { width = 800, height = 720, ...metrics } = screen;
        await page.setViewport(width, height, { ...metrics, touch });
        await body(page, server, browser);
        const errors = await page.page.errors();
        if (errors.length) throw new Error(`the page threw: ${errors[0]}`);
    } finally {
        server.close();
        await browser.close();
        copy.remove();
    }
}

// The Linux build answering clicks with frame digests; one per seed the page may have taken.
export class Reference {
    constructor(seed) {
        this.seed = seed;
        this.process = spawn(opts.player, [], { cwd: opts.source, stdio: ['pipe', 'pipe', 'inherit'] });
        this.answers = createInterface({ input: this.process.stdout })[Symbol.asyncIterator]();
    }
    async answer() {
        const { value, done } = await this.answers.next();
        if (done) throw new Error(`the reference player for seed ${this.seed} ended early`);
        const [, digest] = value.match(/^frame ([0-9a-f]{8})$/) ?? [];
        if (!digest) throw new Error(`the reference player said: ${value}`);
        return digest;
    }
    async send(line) {
        this.process.stdin.write(line + '\n');
        return this.answer();
    }
    close() {
        this.process.stdin.end();
    }
}

// The setup screen's digest, from the Linux build.
export async function setupScreenDigest() {
    const reference = new Reference(null);
    try {
        return await reference.answer();
    } finally {
        reference.close();
    }
}

// Polls the canvas's digest until `accept` takes it (or 10 s pass); the last digest seen.
export async function waitForDigest(page, accept, timeoutMs = 10000) {
    const end = Date.now() + timeoutMs;
    let digest = null;
    do {
        digest = await page.evaluate('window.zoppCanvasDigest()');
        if (digest !== null && accept(digest)) return digest;
        await sleep(5);
    } while (Date.now() < end);
    return digest;
}

// The page under test beside its references. Every step sends the same click to both and waits until the
// canvas shows a reference's frame; references that show another frame drop out.
export class Match {
    constructor(page, references) {
        this.page = page;
        this.references = references;  // those whose frames the canvas has shown so far
        this.started = [...references];
        this.steps = 0;
    }

    static async start(page, url) {
        // The setup screen seeds the dice with the whole seconds of the page's clock when it shows; that
        // moment lies between these two readings of the same clock. The setup screen itself is the same
        // whatever the seed.
        const first = new Reference(null);
        const setupScreen = await first.answer();
        const before = Date.now() / 1000;
        await page.open(url);
        const seen = await waitForDigest(page, digest => digest === setupScreen);
        const after = Date.now() / 1000;
        const references = [first];
        for (let seed = Math.floor(before) - 1; seed <= Math.floor(after) + 1; ++seed) {
            if (references[0].seed === null) {
                references[0].seed = seed;
            } else {
                const reference = new Reference(seed);
                await reference.answer();
                references.push(reference);
            }
        }
        await Promise.all(references.map(async reference => {
            reference.digest = await reference.send(`seed ${reference.seed}`);
        }));
        const match = new Match(page, references);
        if (seen !== setupScreen) await match.explain('the setup screen');
        match.seen = seen;
        return match;
    }

    async settle(what) {
        const expected = new Set(await Promise.all(this.references.map(reference => reference.digest)));
        const seen = await waitForDigest(this.page, digest => expected.has(digest));
        if (!expected.has(seen)) await this.explain(what);
        this.references = this.references.filter(reference => reference.digest === seen);
        this.seen = seen;
    }

    // A click (or with tap, a finger's tap) at canvas pixel (x, y) on the page and in the references;
    // oneMotion: the pointer gets there in a single motion. With keyboard, the board's control there is
    // activated by keys alone; where none acts, nothing happens.
    async click(x, y, what, { tap = false, oneMotion = false, keyboard = false } = {}) {
        if (keyboard && !await this.page.activateByKeys(x, y, this.steps)) return;
        ++this.steps;
        await Promise.all(this.references.map(async reference => {
            reference.digest = await reference.send(`click ${x} ${y}`);
        }));
        if (tap) {
            await this.page.tap(x, y);
        } else if (!keyboard) {
            await this.page.click(x, y, { oneMotion });
        }
        await this.settle(`${what} (step ${this.steps}, at ${x},${y})`);
    }

    // A mismatch: both frames go to files, with the first pixel that differs.
    async explain(what) {
        const folder = mkdtempSync(join(tmpdir(), 'zopp-web-mismatch-'));
        const canvas = await this.page.canvasPixels(0, 0, 640, 480);
        let detail = 'the canvas is gone';
        if (canvas) {
            const rgb = Buffer.alloc(640 * 480 * 3);
            for (let i = 0; i < 640 * 480; ++i) canvas.copy(rgb, 3 * i, 4 * i, 4 * i + 3);
            writeFileSync(join(folder, 'canvas.ppm'), Buffer.concat([Buffer.from('P6\n640 480\n255\n'), rgb]));
            const reference = this.references[0];
            const file = join(folder, `linux-seed-${reference.seed}.ppm`);
            await reference.send(`dump ${file}`);
            const linux = readFileSync(file).subarray(15);
            const first = rgb.findIndex((byte, i) => byte !== linux[i]);
            detail = first < 0 ? 'equal pixels' :
                `first difference at ${Math.floor(first / 3) % 640},${Math.floor(first / 3 / 640)}`;
        }
        throw new Error(`${this.page.engine}: ${what}: the canvas does not show the Linux build's frame ` +
                        `(${detail}; frames in ${folder})`);
    }

    close() {
        for (const reference of this.started) reference.close();
    }
}

// Waits until the page's service worker is active, which it becomes once it has kept the page's files.
export async function untilOfflineReady(page) {
    const ready = await page.evaluate(`Promise.race([navigator.serviceWorker.ready.then(() => true),
                                                     new Promise(resolve => setTimeout(() => resolve(false), 10000))])`);
    if (!ready) throw new Error('no service worker took over the page within 10 s');
}
