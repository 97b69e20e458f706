// The browser build end to end: dist/web served by a plain static server to the engine under test, played
// with mouse clicks (or finger taps) on its canvas, the dice read back with getImageData. The Linux build
// of the game (reference_player) gets the same clicks, and after every click the canvas must show
// exactly its frame, at whatever size and on whatever screen the page shows it.
//
//   ZOPP_ENGINE=<engine> ZOPP_DIST=<dist/web> ZOPP_PLAYER=<reference_player> ZOPP_SOURCE=<source folder> \
//   node --test-name-pattern=<case> game_e2e.mjs
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { cpSync, existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import test from 'node:test';

import { launch } from '../../harness/web/engines.mjs';
import { CanvasPage, ENGINE, Match, opts, packageFile, skipWithout, sleep, untilOfflineReady, waitForDigest, withPage } from '../../harness/web/page_harness.mjs';
import { instrumentedCopy, serveFolder } from '../../harness/web/site.mjs';

skipWithout(join(opts.dist, 'index.html'), 'scripts/package');

const TITLE = 'ZOPP - V0.1(2008)';
const BUTTON = [470, 405];
const TRAY_TOP = 380;
const CATEGORIES = [1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15];
const OBEN = 7;
const ROWS = [null, '1er', '2er', '3er', '4er', '5er', '6er', 'oben', 'Bonus', '3er Pasch', '4er Pasch', 'Full House',
              'kl. Strasse', 'gr. Strasse', 'ZOPP ;)', 'Chance'];

const dieLeft = die => 60 * die + 10;  // die 1..5
const rowTop = row => (row <= 8 ? 20 * row + 5 : 20 * row + 10);

// An uncompressed 24-bit BMP, bottom-up or top-down, as rows of 0xRRGGBB.
function readBmp(file) {
    const bytes = readFileSync(file);
    const width = bytes.readInt32LE(18), height = bytes.readInt32LE(22), offset = bytes.readUInt32LE(10);
    assert.ok(bytes.readUInt16LE(28) === 24 && bytes.readUInt32LE(30) === 0, `${file}: not a plain 24-bit bitmap`);
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

const readFaces = source => [0, 1, 2, 3, 4, 5, 6].map(face => readBmp(join(source, 'dat', `${face}.bmp`)));

// The five dice on the canvas: 1-6, 0 for the blank face.
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
        assert.ok(face >= 0, `die ${die} shows no face`);
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

// Thirteen rounds of each player's turns, each turn varied by its number: stop after the first throw;
// one re-throw chasing a kind; two chasing a kind; a die picked up and put back, then two chasing a
// straight. Clicks that must change nothing come between: a sum row, a filled row, a locked die.
// afterClick(turn), when given, runs after every click of the turns (turn -1: the setup screen), and
// beforeNewGame() once the game is over.
async function playWholeGame(match, source, { lockedRules, tap, keyboard, players = 1, afterClick = async () => {},
                                              beforeNewGame = async () => {} }) {
    const faces = readFaces(source);
    let turn = -1;
    const click = async (x, y, what) => {
        await match.click(x, y, what, { tap, keyboard });
        await afterClick(turn);
    };
    // Browsers allow sound only after the player's first interaction, so the audio waits for it.
    assert.ok(await match.page.evaluate('Module.zoppAudio === null'), 'the audio started before the first click');
    if (lockedRules) await click(40, 100, 'the locked-dice rule');
    const setupScreen = match.seen;
    await click(55 + 100 * players, 375, `${players} players`);

    const sheets = Array.from({ length: players }, () => new Set());
    for (turn = 0; turn < 13 * players; ++turn) {
        const filled = sheets[turn % players];
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
        // Any column at the row's height is the current player's; its control is in the player's own.
        const column = keyboard ? turn % players : turn % 4;
        await click(170 + 100 * column + 30, rowTop(row) + ((turn * 7) % 20), `row ${row}`);
    }
    const tones = await match.page.evaluate('window.zoppTones');
    assert.ok(tones.length === 1 && tones[0].hz === 1000 && tones[0].seconds === 0.25,
          `the game's end must beep once at 1000 Hz for 250 ms: ${JSON.stringify(tones)}`);
    // A running audio keeps the browser busy even in silence: once the tone has played, it rests.
    const resting = "Module.zoppAudio.state === 'suspended'";
    for (const end = Date.now() + 3000; !await match.page.evaluate(resting) && Date.now() < end;) await sleep(50);
    assert.ok(await match.page.evaluate(resting), 'the audio still runs after the tone');
    await beforeNewGame();
    await click(...BUTTON, 'a new game');
    assert.ok(match.seen === setupScreen, 'the new setup screen differs from the first one');
}

// A whole game on the page, with the mouse, by taps or by the keyboard alone.
async function game(rules, screen = {}) {
    await withPage(opts.dist, async (page, server) => {
        const match = await Match.start(page, server.url + 'index.html');
        try {
            assert.equal(await page.evaluate('document.title'), TITLE, 'the page title is not the window caption');
            await playWholeGame(match, opts.source, rules);
            console.log(`${match.steps} clicks, every frame equal to the Linux build's (seed ${match.references[0].seed})`);
        } finally {
            match.close();
        }
    }, { touch: rules.tap, screen });
}

// Waits until the kept value's end (its check value) is in the profile's storage files: the engines write
// the site's storage to the disk on their own schedule, seconds behind and less often under frequent writes.
async function untilOnDisk(profile, value) {
    const end = Buffer.from(value.slice(-16));
    const files = folder => (existsSync(folder) ? readdirSync(folder, { recursive: true }).map(name => join(folder, name)) : []);
    for (const deadline = Date.now() + 60000; Date.now() < deadline; await sleep(200)) {
        const stored = [join(profile, 'Default', 'Local Storage'), join(profile, 'storage', 'default')].flatMap(files);
        const holds = file => {
            try {
                return statSync(file).isFile() && readFileSync(file).includes(end);
            } catch {
                return false;  // the engine removed it meanwhile
            }
        };
        if (stored.some(holds)) return;
    }
    throw new Error('the kept value did not reach the disk within 60 s');
}

// A game outlives its browser: ended without warning (its processes killed) at points of three phases, at
// random in each run, the browser starts again on the same profile and the page shows the very frame it
// showed before; the game plays on from there, every frame the Linux build's, to its end. WebKit's driver
// session keeps the site's data only in memory, so there the page is opened again instead, as after a
// reload.
async function keptThroughKills() {
    const profile = mkdtempSync(join(tmpdir(), 'zopp-web-profile-'));
    const copy = instrumentedCopy(opts.dist);
    const server = await serveFolder(copy.folder);
    const url = server.url + 'index.html';
    let browser = null, match = null;
    const start = async () => {
        browser = await launch(ENGINE, { profile });
        const page = new CanvasPage(await browser.newPage());
        await page.setViewport(800, 720);
        return page;
    };
    const phases = [1, 2, 3, 4, 5, 6].sort(() => Math.random() - 0.5).slice(0, 3);
    // The turn from which each phase of a turn is ended; from turn 10 on a second throw may not come.
    const fromTurn = new Map([1, 2, 3, 4, 5, 6].map(phase => [phase, Math.floor(Math.random() * 10)]));
    console.log(`ending the browser in phases ${phases} (from turns ${phases.map(p => fromTurn.get(p))})`);
    const endAndReturn = async phase => {
        phases.splice(phases.indexOf(phase), 1);
        const frame = await match.page.canvasPixels(0, 0, 640, 480);
        if (ENGINE !== 'webkit') {
            await untilOnDisk(profile, await match.page.evaluate(`localStorage.getItem('zopp-game')`));
            await browser.kill();
            match.page = await start();
        }
        await match.page.open(url);
        const seen = await waitForDigest(match.page, digest => digest === match.seen);
        if (seen !== match.seen) await match.explain(`the game after its browser was ended in phase ${phase}`);
        assert.ok((await match.page.canvasPixels(0, 0, 640, 480)).equals(frame), `phase ${phase}: another frame`);
        const offered = !await match.page.evaluate(`document.getElementById('leave').classList.contains('idle')`);
        assert.equal(offered, phase > 1 && phase < 6, `phase ${phase}: leaving the game offered or not as it should`);
        console.log(`ended in phase ${phase} after step ${match.steps}: the same frame came back`);
    };
    const phaseNow = () => match.page.evaluate(`atob(localStorage.getItem('zopp-game')).charCodeAt(5)`);
    try {
        match = await Match.start(await start(), url);
        await playWholeGame(match, opts.source, {
            lockedRules: true,
            tap: false,
            afterClick: async turn => {
                const phase = await phaseNow();
                const due = phase === 1 ? turn < 0 : phase !== 6 && turn >= fromTurn.get(phase);
                if (phases.includes(phase) && due) await endAndReturn(phase);
            },
            beforeNewGame: async () => phases.includes(6) && endAndReturn(6),
        });
        assert.deepEqual(phases, [], 'a phase was never ended');
        const errors = await match.page.page.errors();
        assert.equal(errors.length, 0, `the page threw: ${errors[0]}`);
    } finally {
        match?.close();
        await browser?.close();
        server.close();
        copy.remove();
        rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
    }
}

// After a first visit the server goes away; the page the service worker kept loads again and plays a
// turn.
async function offline() {
    await withPage(opts.dist, async (page, server) => {
        const url = server.url + 'index.html';
        await page.open(url);
        await untilOfflineReady(page);
        // A new visitor's setup screen, seeded when it shows, not the kept one of the first visit.
        await page.evaluate('localStorage.clear()');
        server.close();
        await server.closed;
        const match = await Match.start(page, url);
        try {
            assert.ok(await page.evaluate('navigator.serviceWorker.controller !== null'),
                      'the page came without its service worker');
            await match.click(155, 375, 'one player');
            await match.click(...BUTTON, 'the first throw');
            await match.click(...BUTTON, 'the second throw');
            await match.click(200, rowTop(CATEGORIES[12]) + 10, 'the last row');
        } finally {
            match.close();
        }
    });
}

// Clicks that alternate between the setup screen's two rule boxes, each reached by a single motion from
// the other: each acts where it lands, whatever the engine fires around the press's pointer capture.
async function alternatingClicks() {
    await withPage(opts.dist, async (page, server) => {
        const match = await Match.start(page, server.url + 'index.html');
        try {
            // The pointer comes onto the board as a hand brings it, with motions after the one that enters.
            await match.click(40, 50, 'a rule box');
            for (let i = 0; i < 12; ++i) await match.click(40, i % 2 ? 50 : 100, 'a rule box', { oneMotion: true });
        } finally {
            match.close();
        }
    });
}

// The same program with a data package that lacks dat\3.bmp, made by the build's own packing step.
async function missingPicture() {
    const folder = mkdtempSync(join(tmpdir(), 'zopp-web-missing-'));
    try {
        const site = join(folder, 'site'), pictures = join(folder, 'dat');
        cpSync(opts.dist, site, { recursive: true });
        cpSync(join(opts.source, 'dat'), pictures, { recursive: true });
        rmSync(join(pictures, '3.bmp'));
        execFileSync(join(opts.source, 'screen', 'web', 'page', 'pack-pictures'), [pictures, site]);
        await withPage(site, async (page, server) => {
            await page.open(server.url + 'index.html');
            let report = null;
            for (const end = Date.now() + 10000; report === null && Date.now() < end; await sleep(10)) {
                report = await page.evaluate(`document.getElementById('report')?.textContent ?? null`);
            }
            const expected = '\r\nAborting due to runtime error 2 (file not found) at line 129 of game/ZOPP.cpp()\r\n\r\n';
            assert.equal(report, expected);
            assert.ok(await page.evaluate(`document.getElementById('screen') === null`), 'the canvas is still there');
            const console = await page.page.console();
            assert.ok(console.some(entry => entry.type === 'error' && entry.text === expected),
                      'the report is not on the console');
        });
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

// What a screen reader finds at the setup screen, after a throw and while a row is chosen: the board's
// controls in the engine's accessibility tree (where its driver reads one) and no WCAG 2.2 A/AA violation
// by axe-core; and the live region's lines for a scripted turn, one per action, by the keyboard but for
// a die picked up with the mouse.
async function screenReader() {
    const faces = readFaces(opts.source);
    await withPage(opts.dist, async (page, server) => {
        const match = await Match.start(page, server.url + 'index.html');
        const key = (x, y, what) => match.click(x, y, what, { keyboard: true });
        const check = async (expected, what) => {
            const found = await page.page.accessibleControls('#mirror');
            if (found) assert.deepEqual(found.map(control => control.replace(/^(button (?!Würfel).*: )\d+/, '$1n')), expected, what);
            assert.ok(await page.evaluate(`[...document.querySelectorAll('#mirror button')].every(control => {
                const box = control.getBoundingClientRect();
                return !box.width || document.elementFromPoint(box.x + box.width / 2, box.y + box.height / 2).id === 'screen';
            })`), `${what}: a control takes the pointer from the canvas`);
            // The controls take no pointer, so the size of a pointer's target is the canvas's business.
            assert.deepEqual(await page.evaluate(`axe.run({ runOnly: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa'],
                                                            rules: { 'target-size': { enabled: false } } })
                .then(result => result.violations.map(rule => rule.id + ': ' + rule.nodes.map(node => node.target).join(' ')))`),
                             [], `${what}: axe-core`);
            return found;
        };
        try {
            await page.page.focusWindow();
            await page.evaluate(packageFile('axe-core/axe.min.js') + `;
                window.zoppSaid = [];
                new MutationObserver(() => zoppSaid.push(said.textContent)).observe(said, { childList: true })`);
            await check(['radio ZOPP-Style... jeder gehaltene Wuerfel darf wieder benutzt werden checked',
                         'radio Original-K-Style... jeder gehaltene Wuerfel bleibt liegen (locked !)',
                         ...[1, 2, 3, 4].map(count => `button ${count} Spieler`)], 'the setup screen');
            await key(255, 375, 'two players');
            await key(...BUTTON, 'the first throw');
            const first = await readDice(page, faces);
            const dice = (thrown, states) => thrown.map((face, i) => `button Würfel ${i + 1}: ${face}${states(i)}`);
            await check([...dice(first, i => (i ? '' : ' focused')), 'button ins Scoreboard damit !?'], 'after a throw');
            // The page draws the focus as a frame inside the control's area: here the die's left edge.
            const shot = await page.page.screenshot(), edge = await page.viewportPoint(dieLeft(1), TRAY_TOP + 25);
            const at = 4 * (Math.floor(edge.y) * shot.width + Math.floor(edge.x));
            assert.deepEqual([...shot.data.subarray(at, at + 3)], [0xff, 0xdd, 0x00], 'no focus frame on the focused die');
            await match.click(dieLeft(2) + 25, TRAY_TOP + 25, 'picking up die 2');
            await key(...BUTTON, 'the second throw');
            const second = await readDice(page, faces);
            await key(...BUTTON, 'no more throws');
            const found = await check([...CATEGORIES.map((row, i) => `button ${ROWS[row]}: n${i ? '' : ' focused'}`),
                                       ...dice(second, () => ' disabled'), 'button Auswahl im ScoreBoard disabled'], 'choosing a row');
            const sum = second.reduce((total, face) => total + face), ones = second.filter(face => face === 1).length;
            if (found) assert.ok(found.includes(`button Chance: ${sum}`), 'the chance is not the sum of the dice');
            await key(200, rowTop(1) + 10, 'the ones');
            assert.deepEqual(await page.evaluate('zoppSaid'), [
                'Spiel mit 2 Spielern, ZOPP-Style. Runde 1: Spieler 1 ist am Zug.', `Spieler 1, 1. Wurf: ${first.join(', ')}`,
                'Würfel 2 aufgenommen', `Spieler 1, 2. Wurf: ${second.join(', ')}`, 'Spieler 1: Auswahl im ScoreBoard',
                `Spieler 1: 1er ${ones}. Runde 1: Spieler 2 ist am Zug.`]);
            // A reload restores the game, which the program does not keep anew: its controls come back.
            await page.open(server.url + 'index.html');
            await waitForDigest(page, digest => digest === match.seen);
            const restored = await page.page.accessibleControls('#mirror');
            if (restored) assert.deepEqual(restored, [...dice(Array(5).fill('nicht geworfen'), () => ' disabled'), 'button 1. Wurf Spieler 2']);
            assert.ok(await page.evaluate("!document.getElementById('leave').classList.contains('idle')"), 'no leave control');
        } finally {
            match.close();
        }
    });
}

test('free-rules', () => game({ lockedRules: false, tap: false }));
// A laptop's display: the board larger than its natural size, each canvas pixel a block of device pixels.
test('free-rules-at-scale-2', () => game({ lockedRules: false, tap: false }, { width: 1280, height: 720, deviceScaleFactor: 2 }));
test('locked-rules-by-taps', () => game({ lockedRules: true, tap: true }));
test('locked-rules-by-taps-sideways', () => game({ lockedRules: true, tap: true },
                                                 { width: 844, height: 390, deviceScaleFactor: 3, mobile: true }));
test('locked-rules-by-keyboard', () => game({ lockedRules: true, keyboard: true, players: 2 }));
test('screen-reader', screenReader);
test('kept-through-kills', keptThroughKills);
test('offline', offline);
test('alternating-clicks', alternatingClicks);
test('missing-picture', missingPicture);
