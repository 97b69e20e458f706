// The input script (tests/e2e/input_script.txt) played into the screen probe in a page of a headless
// Chromium, through the DevTools protocol's input events: each step's records must be the ones the script
// expects; they are also written for the comparison with the other platforms.
//   node input_script_e2e.mjs --script <input_script.txt> --probe <folder with the probe's zopp.js>
//                             --records <file to write>
// Skipped (77) while the probe is not built.
import { cpSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';

import { launchBrowser, serveFolder } from './browser.mjs';

const PLATFORM = 'web';
const TYPES = ['', 'KeyDown', 'KeyUp', 'KeyRepeat', 'PointerMove', 'ButtonDown', 'ButtonUp', 'DoubleClick', 'Wheel',
               'PointerEnter', 'PointerLeave', 'FocusGained', 'FocusLost', 'CloseRequest', 'HorizontalWheel'];
// The canvas's top left corner on the page; the page leaves room around it for the pointer outside.
const LEFT = 100, TOP = 100;
// What the desktops count as one series of quick presses in one place (Windows' defaults).
const DOUBLE_CLICK_MS = 500, DOUBLE_CLICK_PIXELS = 4;

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

// A key by its X key-symbol name, as the protocol's key events describe it.
function keyOf(name) {
    const upper = name.toUpperCase();
    if (/^[a-z]$/.test(name)) return { code: `Key${upper}`, key: name, keyCode: upper.charCodeAt(0), text: name };
    if (/^[0-9]$/.test(name)) return { code: `Digit${name}`, key: name, keyCode: name.charCodeAt(0), text: name };
    if (/^F[0-9]+$/.test(name)) return { code: name, key: name, keyCode: 111 + Number(name.slice(1)) };
    return {
        Escape: { code: 'Escape', key: 'Escape', keyCode: 27 },
        Alt_L: { code: 'AltLeft', key: 'Alt', keyCode: 18 },
        Shift_L: { code: 'ShiftLeft', key: 'Shift', keyCode: 16 },
        Control_L: { code: 'ControlLeft', key: 'Control', keyCode: 17 },
    }[name];
}

class Player {
    constructor(browser, page, spare) {
        this.browser = browser;
        this.page = page;
        this.spare = spare;  // another window's page, which takes the focus away
        this.point = null;  // where the latest motion took the pointer, on the page
        this.buttons = 0;
        this.keysDown = new Set();
        this.lastPress = null;
    }

    mouse(type, extra = {}) {
        return this.page.send('Input.dispatchMouseEvent', { type, ...this.point, buttons: this.buttons, ...extra });
    }

    key(name, down) {
        const repeat = down && this.keysDown.has(name);
        if (down) this.keysDown.add(name); else this.keysDown.delete(name);
        // The protocol's modifier bits: Alt 1, Ctrl 2, Shift 8; the layout's shifted letter is the driver's
        // to give.
        const held = modifier => this.keysDown.has(modifier);
        const modifiers = (held('Alt_L') ? 1 : 0) | (held('Control_L') ? 2 : 0) | (held('Shift_L') ? 8 : 0);
        let { text, keyCode, ...key } = keyOf(name);
        if (held('Shift_L') && text) text = key.key = text.toUpperCase();
        return this.page.send('Input.dispatchKeyEvent', {
            type: down ? (text ? 'keyDown' : 'rawKeyDown') : 'keyUp', ...key, ...(down && text ? { text } : {}),
            windowsVirtualKeyCode: keyCode, autoRepeat: repeat, modifiers,
        });
    }

    // The browser reports a change of window in pieces: the focus first, and some milliseconds later the page
    // hidden or shown as the other window covers or uncovers it. The next input waits until the page's state
    // has kept still for a while, as a person's next action would; otherwise the pieces of the way back
    // could arrive among the late ones of the way away.
    async settle() {
        const state = () => this.page.evaluate('`${document.hasFocus()} ${document.visibilityState}`');
        let last = await state(), since = Date.now();
        for (const end = since + 3000; Date.now() < end && Date.now() - since < 200;) {
            await new Promise(resolve => setTimeout(resolve, 20));
            const now = await state();
            if (now !== last) [last, since] = [now, Date.now()];
        }
    }

    async play([what, ...args]) {
        const buttonBit = { left: 1, right: 2, middle: 4 }[args[0]];
        switch (what) {
        case 'open':
            return;
        case 'pointer':
            this.point = { x: LEFT + Number(args[0]), y: TOP + Number(args[1]) };
            return this.mouse('mouseMoved', { button: this.buttons ? 'left' : 'none' });
        case 'press': {
            const last = this.lastPress, now = Date.now();
            const near = (a, b) => Math.abs(a - b) <= DOUBLE_CLICK_PIXELS;
            const series = last && last.button === args[0] && now - last.time <= DOUBLE_CLICK_MS &&
                near(last.x, this.point.x) && near(last.y, this.point.y);
            const clickCount = series ? last.clickCount + 1 : 1;
            this.lastPress = { button: args[0], time: now, clickCount, ...this.point };
            this.buttons |= buttonBit;
            return this.mouse('mousePressed', { button: args[0], clickCount });
        }
        case 'release':
            this.buttons &= ~buttonBit;
            return this.mouse('mouseReleased', { button: args[0], clickCount: this.lastPress?.clickCount ?? 1 });
        case 'wheel': {  // one notch; negative deltaY scrolls up (the wheel turned away from the user)
            const [deltaX, deltaY] = { up: [0, -120], down: [0, 120], left: [-120, 0], right: [120, 0] }[args[0]];
            return this.mouse('mouseWheel', { deltaX, deltaY });
        }
        case 'key':
            await this.key(args[0], true);
            return this.key(args[0], false);
        case 'keydown':
            return this.key(args[0], true);
        case 'keyup':
            return this.key(args[0], false);
        case 'focus':
            await this.browser.connection.send('Target.activateTarget',
                                               { targetId: args[0] === 'away' ? this.spare : this.page.targetId });
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
writeFileSync(join(site, 'index.html'), `<!doctype html><body style="margin:0">
<canvas id="screen" style="position:absolute;left:${LEFT}px;top:${TOP}px;width:640px;height:480px"></canvas>
<script>var Module = {};</script><script src="zopp.js"></script>`);
const server = await serveFolder(site);
const browser = await launchBrowser();
const failures = [];
try {
    // Another window, not a tab: a tab in front would hide the page, which a window beside it does not.
    const { targetId: spare } =
        await browser.connection.send('Target.createTarget', { url: 'about:blank', newWindow: true });
    const page = await browser.newPage();
    await page.setViewport(1000, 800);
    await page.open(`${server.url}index.html`);
    const lines = () => page.console.map(entry => entry.text);
    const until = async (condition, what) => {
        for (const end = Date.now() + 10000; !condition();) {
            if (Date.now() > end) throw new Error(`no ${what} within 10 s: ${lines().join(' | ')}`);
            await new Promise(resolve => setTimeout(resolve, 5));
        }
    };
    await until(() => lines().includes('ready'), 'ready');
    const events = () => lines().slice(lines().indexOf('ready')).filter(line => line.startsWith('event '))
        .map(line => line.split(' ').slice(1).map(Number));

    const player = new Player(browser, page, spare);
    let records = '', seen = 0;
    for (const [index, step] of script.steps.entries()) {
        if (script.lacks[PLATFORM]?.[step.input[0]] !== undefined) continue;
        await player.play(step.input);
        // As on the desktops: the step's records before the next input; a step that expects none is
        // followed at once. Records that do not come show as the step's difference below.
        await until(() => events().length >= seen + step.expected.length, `records of line ${step.line}`)
            .catch(() => {});
        const posted = events().slice(seen);
        seen += posted.length;
        records += `step ${index}\n` + posted.map(r => `event ${r.join(' ')}\n`).join('');
        const difference = mismatch(step, posted);
        if (difference) failures.push(difference);
    }
    writeFileSync(recordsPath, records);
    if (page.errors.length) failures.push(`the page threw: ${JSON.stringify(page.errors[0])}`);
} finally {
    server.close();
    await browser.close();
    rmSync(site, { recursive: true, force: true });
}
for (const failure of failures) console.error(`FAILED: ${failure}`);
process.exit(failures.length ? 1 : 0);
