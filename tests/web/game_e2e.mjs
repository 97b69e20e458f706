// The browser build end to end: dist/web served by a plain static server in a headless Chromium, played
// with mouse events (or finger taps) on its canvas, the dice read back with getImageData. The Linux
// build of the game (reference_player) gets the same clicks, and after every click the canvas must show
// exactly its frame.
//
//   node game_e2e.mjs <case> --dist <dist/web> --player <reference_player>
//        --source <source folder>
// Cases: free-rules, locked-rules-by-taps, missing-picture, size. Exit code 77: skipped (no dist/web).
import { spawn, execFileSync } from 'node:child_process';
import { cpSync, existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { createInterface } from 'node:readline';
import { gzipSync } from 'node:zlib';

import { launchBrowser, serveFolder } from './browser.mjs';

const SKIP = 77;
const TITLE = 'ZOPP - V0.1(2008)';
const BUTTON = [470, 405];
const TRAY_TOP = 380;
const CATEGORIES = [1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15];
const OBEN = 7;

const dieLeft = die => 60 * die + 10;  // die 1..5
const rowTop = row => (row <= 8 ? 20 * row + 5 : 20 * row + 10);

function options() {
    const [name, ...rest] = process.argv.slice(2);
    const values = { name };
    for (let i = 0; i < rest.length; i += 2) values[rest[i].replace(/^--/, '')] = resolve(rest[i + 1]);
    return values;
}

class Failure extends Error {}
function check(condition, message) {
    if (!condition) throw new Failure(message);
}

// An uncompressed 24-bit BMP, bottom-up or top-down, as rows of 0xRRGGBB.
function readBmp(file) {
    const bytes = readFileSync(file);
    const width = bytes.readInt32LE(18), height = bytes.readInt32LE(22), offset = bytes.readUInt32LE(10);
    check(bytes.readUInt16LE(28) === 24 && bytes.readUInt32LE(30) === 0, `${file}: not a plain 24-bit bitmap`);
    const rows = Math.abs(height), stride = Math.ceil((width * 3) / 4) * 4, pixels = [];
    for (let y = 0; y < rows; ++y) {
        const row = offset + stride * (height > 0 ? rows - 1 - y : y);
        for (let x = 0; x < width; ++x) {
            const at = row + 3 * x;
            pixels.push((bytes[at + 2] << 16) | (bytes[at + 1] << 8) | bytes[at]);
        }
    }
    return { width, height: rows, pixels };
}

// The Linux build answering clicks with frame digests; one per seed the page may have taken.
class Reference {
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
class Match {
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
async function readDice(page, faces) {
    const width = dieLeft(5) + 50 - dieLeft(1);
    const tray = await page.canvasPixels(dieLeft(1), TRAY_TOP, width, 50);
    const dice = [];
    for (let die = 1; die <= 5; ++die) {
        const left = dieLeft(die) - dieLeft(1);
        const face = faces.findIndex(picture => picture.pixels.every((colour, i) => {
            const at = 4 * ((Math.floor(i / 50)) * width + left + (i % 50));
            return ((tray[at] << 16) | (tray[at + 1] << 8) | tray[at + 2]) === colour;
        }));
        check(face >= 0, `die ${die} shows no face`);
        dice.push(face);
    }
    return dice;
}

// Dice (1..5) to pick up: chasing a kind keeps the most frequent face (the higher on a tie); chasing a
// straight picks up every repeat of a face already kept.
function chaseOfAKind(dice) {
    const count = [0, 0, 0, 0, 0, 0, 0];
    for (const face of dice) ++count[face];
    let best = 6;
    for (let face = 6; face >= 1; --face) if (count[face] > count[best]) best = face;
    return dice.flatMap((face, i) => (face === best ? [] : [i + 1]));
}
function chaseStraight(dice) {
    return dice.flatMap((face, i) => (dice.indexOf(face) < i ? [i + 1] : []));
}

// One player, thirteen turns, each varied by its number: stop after the first throw; one re-throw
// chasing a kind; two chasing a kind; a die picked up and put back, then two chasing a straight. Clicks
// that must change nothing come between: a sum row, a filled row, a locked die.
async function playWholeGame(match, source, { lockedRules, tap }) {
    const faces = [0, 1, 2, 3, 4, 5, 6].map(face => readBmp(join(source, 'dat', `${face}.bmp`)));
    const click = (x, y, what) => match.click(x, y, what, { tap });
    // Browsers allow sound only after the player's first interaction, so the audio waits for it.
    check(await match.page.evaluate('Module.zoppAudio === null'), 'the audio started before the first click');
    if (lockedRules) await click(40, 100, 'the locked-dice rule');
    const setupScreen = match.seen;
    await click(155, 375, 'one player');

    const filled = new Set();
    for (let turn = 0; turn < 13; ++turn) {
        const locked = [false, false, false, false, false];
        await click(...BUTTON, `turn ${turn + 1}: first throw`);
        let dice = await readDice(match.page, faces);
        if (turn % 4 === 3) {
            await click(dieLeft(1) + 25, TRAY_TOP + 25, 'picking up die 1');
            await click(dieLeft(1) + 25, TRAY_TOP + 25, 'putting die 1 back');
        }
        let throws = 1;
        for (; throws < 3 && turn % 4 !== 0; ++throws) {
            const pickUp = (turn % 4 === 3 ? chaseStraight(dice) : chaseOfAKind(dice)).filter(die => !locked[die - 1]);
            if (pickUp.length === 0 || (turn % 4 === 1 && throws === 2)) break;
            const lockedDie = locked.indexOf(true);
            if (lockedDie >= 0) await click(dieLeft(lockedDie + 1) + 25, TRAY_TOP + 25, 'a locked die');
            for (const die of pickUp) await click(dieLeft(die) + 25, TRAY_TOP + 25, `picking up die ${die}`);
            for (let die = 1; die <= 5 && lockedRules; ++die) locked[die - 1] ||= !pickUp.includes(die);
            await click(...BUTTON, `turn ${turn + 1}: throw ${throws + 1}`);
            dice = await readDice(match.page, faces);
        }
        if (throws < 3) await click(...BUTTON, 'no more throws');

        await click(120 + 100 * (turn % 4), rowTop(OBEN) + 5, 'a sum row');
        if (filled.size > 0) await click(200, rowTop([...filled][0]) + 10, 'a filled row');
        const empty = CATEGORIES.filter(row => !filled.has(row));
        const row = empty[(turn * 5) % empty.length];
        filled.add(row);
        // Any column at the row's height is the current player's.
        await click(170 + 100 * (turn % 4) + 30, rowTop(row) + ((turn * 7) % 20), `row ${row}`);
    }
    const tones = await match.page.evaluate('window.zoppTones');
    check(tones.length === 1 && tones[0].hz === 1000 && tones[0].seconds === 0.25,
          `the game's end must beep once at 1000 Hz for 250 ms: ${JSON.stringify(tones)}`);
    await click(...BUTTON, 'a new game');
    check(match.seen === setupScreen, 'the new setup screen differs from the first one');
}

async function withBrowser(dist, body, { touch = false } = {}) {
    const server = await serveFolder(dist);
    const browser = await launchBrowser();
    try {
        const page = await browser.newPage();
        await page.send('Emulation.setDeviceMetricsOverride', { width: 800, height: 720, deviceScaleFactor: 1, mobile: false });
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
        await body(page, server.url);
        check(page.errors.length === 0, `the page threw: ${JSON.stringify(page.errors[0])}`);
    } finally {
        server.close();
        await browser.close();
    }
}

async function game(opts, rules) {
    await withBrowser(opts.dist, async (page, url) => {
        const match = await Match.start(page, url + 'index.html', opts.player, opts.source);
        try {
            check(await page.evaluate('document.title') === TITLE, 'the page title is not the window caption');
            await playWholeGame(match, opts.source, rules);
            console.log(`${match.steps} clicks, every frame equal to the Linux build's (seed ${match.references[0].seed})`);
        } finally {
            match.close();
        }
    }, { touch: rules.tap });
}

// The same program with a data package that lacks dat\3.bmp, made by the build's own packing step.
async function missingPicture(opts) {
    const folder = mkdtempSync(join(tmpdir(), 'zopp-web-missing-'));
    try {
        const site = join(folder, 'site'), pictures = join(folder, 'dat');
        cpSync(opts.dist, site, { recursive: true });
        cpSync(join(opts.source, 'dat'), pictures, { recursive: true });
        rmSync(join(pictures, '3.bmp'));
        execFileSync(join(opts.source, 'screen', 'web', 'page', 'pack-pictures'), [pictures, site]);
        await withBrowser(site, async (page, url) => {
            await page.open(url + 'index.html');
            const end = Date.now() + 10000;
            let report = null;
            while (report === null && Date.now() < end) {
                report = await page.evaluate(`document.getElementById('report')?.textContent ?? null`);
                await new Promise(resolve => setTimeout(resolve, 10));
            }
            const expected = '\r\nAborting due to runtime error 2 (file not found) at line 129 of game/ZOPP.cpp()\r\n\r\n';
            check(report === expected, `the page shows ${JSON.stringify(report)}`);
            check(await page.evaluate(`document.getElementById('screen') === null`), 'the canvas is still there');
            check(page.console.some(entry => entry.type === 'error' && entry.text === expected),
                  'the report is not on the console');
        });
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

// What a visitor downloads, each file compressed as a server would.
function transferSize(opts) {
    let total = 0;
    for (const file of readdirSync(opts.dist)) {
        const size = gzipSync(readFileSync(join(opts.dist, file)), { level: 9 }).length;
        console.log(`${file}: ${size} bytes gzipped`);
        total += size;
    }
    console.log(`dist/web: ${total} bytes gzipped`);
    check(total < 400 * 1024, `dist/web takes ${total} bytes gzipped, more than 400 KB`);
}

const opts = options();
if (!existsSync(join(opts.dist, 'index.html'))) {
    console.log(`skipped: ${opts.dist} has no page; scripts/package writes it`);
    process.exit(SKIP);
}
const cases = {
    'free-rules': () => game(opts, { lockedRules: false, tap: false }),
    'locked-rules-by-taps': () => game(opts, { lockedRules: true, tap: true }),
    'missing-picture': () => missingPicture(opts),
    'size': () => transferSize(opts),
};
try {
    await cases[opts.name]();
} catch (error) {
    console.error(error instanceof Failure ? `FAILED: ${error.message}` : error);
    process.exit(1);
}
