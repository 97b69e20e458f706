// The input script (tests/e2e/input_script.txt) played into the screen probe in a page of the engine
// under test, through its driver's input (the X server's for WebKit's pointer): each step's records must be
// the ones the script expects; they are also written for the comparison with the other platforms.
//   ZOPP_ENGINE=<engine> node input_script_e2e.mjs --script <input_script.txt>
//        --probe <folder with the probe's zopp.js> --records <file to write>
// Skipped (77) while the probe is not built. Steps the script says the web, or the engine, lacks are left out.
import assert from 'node:assert/strict';
import { cpSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import test from 'node:test';

import { launch } from '../../harness/web/engines.mjs';
import { ENGINE, sleep } from '../../harness/web/page_harness.mjs';
import { instrumented, serveFolder } from '../../harness/web/site.mjs';

const PLATFORM = 'web';
const TYPES = ['', 'KeyDown', 'KeyUp', 'KeyRepeat', 'PointerMove', 'ButtonDown', 'ButtonUp', 'DoubleClick', 'Wheel',
               'PointerEnter', 'PointerLeave', 'FocusGained', 'FocusLost', 'CloseRequest', 'HorizontalWheel'];
// The canvas's top left corner on the page; the page leaves room around it for the pointer outside.
const LEFT = 100, TOP = 100;
// What the layer counts as one series of quick presses in one place.
const DOUBLE_CLICK_MS = 500, DOUBLE_CLICK_PIXELS = 32;

function readScript(path) {
    const script = { steps: [], lacks: {} };
    readFileSync(path, 'utf8').split('\n').forEach((text, i) => {
        if (text.trim() === '' || text.startsWith('#')) return;
        const lacking = text.match(/^lacks (\S+) (\S+):(.*)$/);
        if (lacking) {
            (script.lacks[lacking[1]] ??= {})[lacking[2]] = lacking[3];
            return;
        }
        const [input, records] = text.split('->');
        if (records === undefined) throw new Error(`input script line ${i + 1}: no '->'`);
        const expected = records.split(';').map(r => r.trim().split(/\s+/)).filter(r => r[0] !== '')
            .map(([name, ...slots]) => {
                if (TYPES.indexOf(name) < 1) throw new Error(`input script line ${i + 1}: no record: ${name}`);
                return { type: TYPES.indexOf(name), name, slots: slots.map(Number) };
            });
        script.steps.push({ line: i + 1, input: input.trim().split(/\s+/), expected });
    });
    return script;
}

const describe = records => records.map(r => `${TYPES[r[0]]} ${r.slice(1).join(' ')}`).join('; ') || 'nothing';

function mismatch(step, records) {
    const matches = (record, { type, slots }) => record[0] === type && slots.every((s, j) => s === record[j + 1]);
    const same = records.length === step.expected.length && records.every((r, i) => matches(r, step.expected[i]));
    if (same) return null;
    const expected = step.expected.map(e => [e.name, ...e.slots].join(' ')).join('; ') || 'nothing';
    return `line ${step.line} (${step.input.join(' ')}): expected ${expected}, posted ${describe(records)}`;
}

// What an engine's driver cannot send: a held key pressed again as a repeat (WebKitWebDriver). Such steps
// are played, their records not judged.
const DRIVER_LACKS = { webkit: ['key repeat'] };

class Player {
    constructor(page) {
        this.page = page;
        this.point = null;  // where the latest motion took the pointer, on the page
        this.lastPress = null;
        this.keysDown = new Set();
    }

    // The kind of input the step sends, where it is one some driver lacks.
    kind([what, ...args]) {
        if (what === 'keydown' && this.keysDown.has(args[0])) return 'key repeat';
        if (what === 'press' && this.continuesSeries(args[0])) return 'double click';
        return null;
    }
    continuesSeries(button) {
        const last = this.lastPress, near = (a, b) => Math.abs(a - b) <= DOUBLE_CLICK_PIXELS;
        return last !== null && last.button === button && Date.now() - last.time <= DOUBLE_CLICK_MS &&
            near(last.x, this.point.x) && near(last.y, this.point.y);
    }

    // The browser reports a change of window in pieces: the focus first, and some milliseconds later the page
    // hidden or shown as the other window covers or uncovers it. The next input waits until the page's state
    // has kept still for a while, as a person's next action would; otherwise the pieces of the way back
    // could arrive among the late ones of the way away.
    async settle() {
        const state = () => this.page.evaluate('`${document.hasFocus()} ${document.visibilityState}`');
        let last = await state(), since = Date.now();
        for (const end = since + 3000; Date.now() < end && Date.now() - since < 200;) {
            await sleep(20);
            const now = await state();
            if (now !== last) [last, since] = [now, Date.now()];
        }
    }

    async play([what, ...args]) {
        switch (what) {
        case 'open':
            return undefined;
        case 'pointer':
            this.point = { x: LEFT + Number(args[0]), y: TOP + Number(args[1]) };
            return this.page.pointer('move', this.point);
        case 'press': {
            // Drivers that leave the count of a series of presses to the page's side are told it.
            const clickCount = this.continuesSeries(args[0]) ? this.lastPress.clickCount + 1 : 1;
            this.lastPress = { button: args[0], time: Date.now(), clickCount, ...this.point };
            return this.page.pointer('press', args[0], { clickCount });
        }
        case 'release':
            return this.page.pointer('release', args[0], { clickCount: this.lastPress?.clickCount ?? 1 });
        case 'wheel':
            return this.page.wheel(args[0]);
        case 'key':
            await this.page.key(args[0], true);
            return this.page.key(args[0], false);
        case 'keydown':
            this.keysDown.add(args[0]);
            return this.page.key(args[0], true);
        case 'keyup':
            this.keysDown.delete(args[0]);
            return this.page.key(args[0], false);
        case 'focus':
            await this.page.focus(args[0] === 'away');
            return this.settle();
        default:
            throw new Error(`no such input: ${what}`);
        }
    }
}

const option = name => process.argv[process.argv.indexOf(`--${name}`) + 1];
const [scriptPath, probe, recordsPath] = ['script', 'probe', 'records'].map(option);
rmSync(recordsPath, { force: true });  // the comparison must not find an earlier run's
if (!existsSync(join(probe, 'zopp.js'))) {
    console.log(`skipped: ${probe} has no probe; scripts/build-web --suites builds it`);
    process.exit(77);
}
const script = readScript(scriptPath);
mkdirSync(dirname(recordsPath), { recursive: true });

const site = mkdtempSync(join(tmpdir(), 'zopp-input-script-'));
cpSync(probe, site, { recursive: true });
writeFileSync(join(site, 'index.html'), instrumented(`<!doctype html><html><head></head><body style="margin:0">
<canvas id="screen" style="position:absolute;left:${LEFT}px;top:${TOP}px;width:640px;height:480px"></canvas>
<script>var Module = {};</script><script src="zopp.js"></script>`));
const server = await serveFolder(site);
const browser = await launch(ENGINE);
const failures = [];
try {
    const page = await browser.newPage();
    await page.setViewport(1000, 800);
    await page.open(`${server.url}index.html`);
    let lines = [];
    const until = async (condition, what, seconds = 10) => {
        for (const end = Date.now() + seconds * 1000; !condition();) {
            if (Date.now() > end) throw new Error(`no ${what} within ${seconds} s: ${lines.join(' | ')}`);
            await sleep(5);
            lines = (await page.console()).map(entry => entry.text);
        }
    };
    await until(() => lines.includes('ready'), 'ready');
    const events = () => lines.slice(lines.indexOf('ready')).filter(line => line.startsWith('event '))
        .map(line => line.split(' ').slice(1).map(Number));

    const player = new Player(page);
    let records = '', seen = 0;
    for (const [index, step] of script.steps.entries()) {
        if ([PLATFORM, ENGINE].some(platform => script.lacks[platform]?.[step.input[0]] !== undefined)) continue;
        const judged = !DRIVER_LACKS[ENGINE]?.includes(player.kind(step.input));
        await player.play(step.input);
        // As on the desktops: the step's records before the next input; a step that expects none is
        // followed at once. Records that do not come show as the step's difference below.
        lines = (await page.console()).map(entry => entry.text);
        await until(() => events().length >= seen + step.expected.length, `records of line ${step.line}`, judged ? 10 : 1)
            .catch(() => {});
        const posted = events().slice(seen);
        seen += posted.length;
        records += `step ${index}\n` + posted.map(r => `event ${r.join(' ')}\n`).join('');
        const difference = mismatch(step, posted);
        if (difference && judged) failures.push(difference);
    }
    writeFileSync(recordsPath, records);
    const errors = await page.errors();
    if (errors.length) failures.push(`the page threw: ${errors[0]}`);
} finally {
    server.close();
    await browser.close();
    rmSync(site, { recursive: true, force: true });
}
test(`every step of the input script posts the records it expects in ${ENGINE}`, () => {
    assert.deepEqual(failures, []);
});
