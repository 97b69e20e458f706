// What the browser tests share: the command line, failures, the Linux build's frames to compare with
// (reference_player) and a headless Chromium whose page is instrumented to read its canvas and its tones.
import { spawn } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { createInterface } from 'node:readline';

import { launchBrowser, serveFolder } from './browser.mjs';

export const SKIP = 77;

// The case's name, then --name value pairs, the values as absolute paths.
export function options() {
    const [name, ...rest] = process.argv.slice(2);
    const values = { name };
    for (let i = 0; i < rest.length; i += 2) values[rest[i].replace(/^--/, '')] = resolve(rest[i + 1]);
    return values;
}

export class Failure extends Error {}
export function check(condition, message) {
    if (!condition) throw new Failure(message);
}

// Runs the case the command line names, given the options; skipped while the page is not built.
export async function runCase(cases) {
    const opts = options();
    if (!existsSync(join(opts.dist, 'index.html'))) {
        console.log(`skipped: ${opts.dist} has no page; scripts/package writes it`);
        process.exit(SKIP);
    }
    try {
        await cases[opts.name](opts);
    } catch (error) {
        console.error(error instanceof Failure ? `FAILED: ${error.message}` : error);
        process.exit(1);
    }
}

// The Linux build answering clicks with frame digests; one per seed the page may have taken.
export class Reference {
    constructor(player, source, seed) {
        this.seed = seed;
        this.process = spawn(player, [], { cwd: source, stdio: ['pipe', 'pipe', 'inherit'] });
        this.answers = createInterface({ input: this.process.stdout })[Symbol.asyncIterator]();
    }
    async answer() {
        const { value, done } = await this.answers.next();
        check(!done, `the reference player for seed ${this.seed} ended early`);
        const [, digest] = value.match(/^frame ([0-9a-f]{8})$/) ?? [];
        check(digest, `the reference player said: ${value}`);
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

// The page under test beside its references. Every step sends the same click to both and waits until the
// canvas shows a reference's frame; references that show another frame drop out.
export class Match {
    constructor(page, references) {
        this.page = page;
        this.references = references;  // those whose frames the canvas has shown so far
        this.started = [...references];
        this.steps = 0;
    }

    static async start(page, url, player, source) {
        // The setup screen seeds the dice with the whole seconds of the page's clock when it shows; that
        // moment lies between these two readings of the same clock. The setup screen itself is the same
        // whatever the seed.
        const first = new Reference(player, source, null);
        const setupScreen = await first.answer();
        const before = Date.now() / 1000;
        await page.open(url);
        const seen = await Match.waitForDigest(page, digest => digest === setupScreen);
        const after = Date.now() / 1000;
        const references = [first];
        for (let seed = Math.floor(before) - 1; seed <= Math.floor(after) + 1; ++seed) {
            if (references[0].seed === null) {
                references[0].seed = seed;
            } else {
                const reference = new Reference(player, source, seed);
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

    // Polls the canvas's digest until `accept` takes it (or 10 s pass); the last digest seen.
    static async waitForDigest(page, accept, timeoutMs = 10000) {
        const end = Date.now() + timeoutMs;
        let digest = null;
        do {
            digest = await page.evaluate('window.zoppCanvasDigest()');
            if (digest !== null && accept(digest)) return digest;
            await new Promise(resolve => setTimeout(resolve, 5));
        } while (Date.now() < end);
        return digest;
    }

    async settle(what) {
        const expected = new Set(await Promise.all(this.references.map(reference => reference.digest)));
        const seen = await Match.waitForDigest(this.page, digest => expected.has(digest));
        if (!expected.has(seen)) await this.explain(what);
        this.references = this.references.filter(reference => reference.digest === seen);
        this.seen = seen;
    }

    async click(x, y, what, { tap = false } = {}) {
        ++this.steps;
        await Promise.all(this.references.map(async reference => {
            reference.digest = await reference.send(`click ${x} ${y}`);
        }));
        if (tap) {
            await this.page.tap(x, y);
        } else {
            await this.page.click(x, y);
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
        throw new Failure(`${what}: the canvas does not show the Linux build's frame (${detail}; frames in ${folder})`);
    }

    close() {
        for (const reference of this.started) reference.close();
    }
}

// Reads the five dice from the canvas: 1-6, 0 for the blank face.
// Waits until the page's service worker is active, which it becomes once it has kept the page's files.
export async function untilOfflineReady(page) {
    const ready = await page.evaluate(`Promise.race([navigator.serviceWorker.ready.then(() => true),
                                                     new Promise(resolve => setTimeout(() => resolve(false), 10000))])`);
    check(ready, 'no service worker took over the page within 10 s');
}

// The setup screen's digest, from the Linux build.
export async function setupScreenDigest(player, source) {
    const reference = new Reference(player, source, null);
    try {
        return await reference.answer();
    } finally {
        reference.close();
    }
}

// Runs body(page, server) with dist served and a fresh browser (no cache, no service worker yet). The
// screen is a desktop's 800×720 unless `screen` says otherwise ({ width, height, deviceScaleFactor,
// mobile }); countBytes counts what the server sends (server.bytesSent()).
export async function withBrowser(dist, body, { touch = false, screen = {}, countBytes = false } = {}) {
    const server = await serveFolder(dist, { countBytes });
    const browser = await launchBrowser();
    try {
        const page = await browser.newPage();
        const { width = 800, height = 720, ...metrics } = screen;
        await page.setViewport(width, height, metrics);
        if (touch) await page.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 1 });
        // Every tone the page starts, with its frequency and length.
        await page.beforeEachLoad(`window.zoppTones = [];
        const createOscillator = AudioContext.prototype.createOscillator;
        AudioContext.prototype.createOscillator = function() {
            const tone = createOscillator.call(this), record = {};
            window.zoppTones.push(record);
            const start = tone.start, stop = tone.stop;
            tone.start = function(when) { record.hz = tone.frequency.value; record.start = when; return start.apply(this, arguments); };
            tone.stop = function(when) { record.seconds = Math.round((when - record.start) * 1000) / 1000; return stop.apply(this, arguments); };
            return tone;
        };`);
        await page.beforeEachLoad(`window.zoppCanvasDigest = () => {
            const canvas = document.getElementById('screen');
            if (!canvas || canvas.hidden) return null;
            const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
            let digest = 0x811c9dc5;
            for (let i = 0; i < data.length; i += 4) {
                digest = Math.imul(digest ^ data[i], 16777619);
                digest = Math.imul(digest ^ data[i + 1], 16777619);
                digest = Math.imul(digest ^ data[i + 2], 16777619);
            }
            return (digest >>> 0).toString(16).padStart(8, '0');
        };`);
        await body(page, server);
        check(page.errors.length === 0, `the page threw: ${JSON.stringify(page.errors[0])}`);
    } finally {
        server.close();
        await browser.close();
    }
}
