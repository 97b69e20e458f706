// The browser engines the tests drive, each through a maintained protocol library, behind one page
// interface: Chromium (DevTools protocol) and Firefox (WebDriver BiDi) through puppeteer-core, WebKit
// through its W3C WebDriver (WebKitWebDriver with its MiniBrowser on a private Xvfb).
//
//   const browser = await launch('firefox');
//   const page = await browser.newPage();
//   await page.setViewport(844, 390);
//   await page.open(url);
//   await page.pointer('move', { x, y });        // viewport pixels
//   await page.pointer('press', 'right');
//   await browser.close();
//
// launchUndriven(engine, url) starts one with nothing attached, for measures of the page alone.
// Scroll bars take their room from the page in every engine, as on most desktops.
import { execFile, spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';

import { PNG } from 'pngjs';
import puppeteer from 'puppeteer-core';
import { Builder, By, Key } from 'selenium-webdriver';

export const ENGINES = ['chromium', 'firefox', 'webkit'];
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// profile: a folder that keeps the browser's data from one start to the next (none: a fresh one each time).
export async function launch(engine, { profile } = {}) {
    if (engine === 'webkit') return WebKitBrowser.launch();
    // On a profile whose browser was killed, puppeteer may still be putting back the preferences it changed
    // there (Firefox's user.js) while the next start reads them: that start is tried again.
    for (let tries = 1; ; ++tries) {
        try {
            return await PuppeteerBrowser.launch(engine, profile);
        } catch (error) {
            if (!profile || tries === 3) throw error;
            await sleep(500);
        }
    }
}

// Every process below pid, by /proc.
function descendants(pid) {
    const children = new Map();
    for (const entry of readdirSync('/proc').filter(entry => /^\d+$/.test(entry))) {
        try {
            const [, ppid] = readFileSync(`/proc/${entry}/stat`, 'utf8').match(/^\d+ \(.*\) \S (\d+)/);
            children.set(Number(entry), { ppid: Number(ppid) });
        } catch { /* gone */ }
    }
    const found = [];
    for (const child of children.keys()) {
        for (let up = child; up > 1; up = children.get(up)?.ppid ?? 0) {
            if (up === pid) {
                found.push(child);
                break;
            }
        }
    }
    return found;
}


// The interface every engine's page has; the engines fill in the primitives.
class Page {
    // The page's console and what it threw, as instrument.js keeps them.
    console() {
        return this.evaluate('window.zoppConsole ?? []');
    }
    errors() {
        return this.evaluate('window.zoppErrors ?? []');
    }
    // The screenshot of the viewport: { width, height, data } with RGBA bytes.
    async screenshot() {
        return PNG.sync.read(await this.screenshotPng());
    }
}

// A control as an accessibility tree holds it: "role name", then its states that hold.
const described = (role, name, states) =>
    [role, name, ...['checked', 'pressed', 'disabled', 'focused'].filter(state => states[state] === true)].join(' ');

// Keys by their X key-symbol name, as the input script names them, as puppeteer names their places (so
// that Shift gives a letter's capital).
function puppeteerKey(name) {
    if (/^[a-z]$/.test(name)) return `Key${name.toUpperCase()}`;
    if (/^[0-9]$/.test(name)) return `Digit${name}`;
    return { Alt_L: 'AltLeft', Shift_L: 'ShiftLeft', Control_L: 'ControlLeft', Return: 'Enter', space: ' ' }[name] ?? name;
}

// Debian's Chromium and Firefox, or the ones ZOPP_CHROMIUM and ZOPP_FIREFOX name.
const executable = engine => process.env[`ZOPP_${engine.toUpperCase()}`] ??
    { chromium: '/usr/bin/chromium', firefox: '/usr/bin/firefox-esr' }[engine];
// No overlay scroll bars in Firefox: they would take no room.
const FIREFOX_PREFS = { 'widget.gtk.overlay-scrollbars.enabled': false };

class PuppeteerBrowser {
    static async launch(engine, profile) {
        const chromium = engine === 'chromium';
        const browser = await puppeteer.launch({
            userDataDir: profile,
            browser: chromium ? 'chrome' : 'firefox',
            executablePath: executable(engine),
            headless: true,
            // Chromium's headless mode hides its scroll bars unless told otherwise.
            ignoreDefaultArgs: chromium ? ['--hide-scrollbars'] : [],
            args: chromium ? ['--no-sandbox', '--disable-gpu', '--disable-quic', '--mute-audio'] : [],
            extraPrefsFirefox: FIREFOX_PREFS,
        });
        return new PuppeteerBrowser(engine, browser);
    }
    constructor(engine, browser) {
        this.engine = engine;
        this.browser = browser;
    }
    // The page, and another window to take the focus from it. Chromium's headless windows pass the focus
    // only to windows opened before.
    async newPage() {
        const spare = await this.browser.newPage({ type: 'window' });
        return new PuppeteerPage(this, await this.browser.newPage(), spare);
    }
    // The process whose descendants are the browser's.
    get pid() {
        return this.browser.process().pid;
    }
    close() {
        return this.browser.close();
    }
    // The whole browser ended without warning, as the system ends it: nothing of it runs on to save.
    async kill() {
        const exited = new Promise(resolve => this.browser.process().once('exit', resolve));
        for (const pid of [this.pid, ...descendants(this.pid)]) {
            try { process.kill(pid, 'SIGKILL'); } catch { /* gone */ }
        }
        await exited;
        await this.browser.disconnect().catch(() => {});
    }
}

class PuppeteerPage extends Page {
    constructor(browser, page, spare) {
        super();
        this.browser = browser;
        this.page = page;
        this.spare = spare;
        this.engine = browser.engine;
    }
    async open(url) {
        await this.page.goto(url, { waitUntil: 'load' });
    }
    evaluate(expression) {
        return this.page.evaluate(expression);
    }
    async setViewport(width, height, { deviceScaleFactor = 1, mobile = false, touch = false } = {}) {
        await this.page.setViewport({ width, height, deviceScaleFactor, isMobile: mobile, hasTouch: touch });
    }
    // 'move' to a viewport point, 'press' or 'release' a button (left, right, middle) where the pointer is.
    async pointer(action, what, { clickCount = 1 } = {}) {
        if (action === 'move') return this.page.mouse.move(what.x, what.y);
        return this.page.mouse[action === 'press' ? 'down' : 'up']({ button: what, clickCount });
    }
    async tap(point) {
        await this.page.touchscreen.tap(point.x, point.y);
    }
    // One notch of the wheel where the pointer is: 'up' (away from the user), 'down', 'left' or 'right'.
    async wheel(direction) {
        const [deltaX, deltaY] = { up: [0, -120], down: [0, 120], left: [-120, 0], right: [120, 0] }[direction];
        await this.page.mouse.wheel({ deltaX, deltaY });
    }
    async key(name, down) {
        await this.page.keyboard[down ? 'down' : 'up'](puppeteerKey(name));
    }
    // Another window takes the focus, and gives it back.
    focus(away) {
        return (away ? this.spare : this.page).bringToFront();
    }
    screenshotPng() {
        return this.page.screenshot({ type: 'png' });
    }
    focusWindow() {
        return this.page.bringToFront();
    }
    // The buttons and radios inside the selector's element, as the engine's accessibility tree holds them;
    // null where the driver reads no such tree (WebDriver BiDi).
    async accessibleControls(selector) {
        if (this.engine !== 'chromium') return null;
        const all = node => [node, ...(node.children ?? []).flatMap(all)];
        return all(await this.page.accessibility.snapshot({ root: await this.page.$(selector), interestingOnly: false }))
            .filter(node => ['button', 'radio'].includes(node.role)).map(node => described(node.role, node.name, node));
    }
    // Chromium's own protocol, for what only it tells.
    async devtools(method, params = {}) {
        this.session ??= await this.page.createCDPSession();
        return this.session.send(method, params);
    }
}

const SELENIUM_KEYS = { Escape: Key.ESCAPE, Alt_L: Key.ALT, Shift_L: Key.SHIFT, Control_L: Key.CONTROL, F4: Key.F4,
                        F10: Key.F10, Tab: Key.TAB, Return: Key.ENTER, space: Key.SPACE };
const X_BUTTONS = { left: 1, middle: 2, right: 3 };
const freePort = () => new Promise(resolve => {
    const probe = createServer().listen(0, '127.0.0.1', () => {
        const { port } = probe.address();
        probe.close(() => resolve(port));
    });
});

// WebKit: MiniBrowser, started by WebKitWebDriver on an X server of its own. The pointer goes through
// the X server (XTest), as a hand's would: WebKitWebDriver's own pointer releases every button as the
// left one. Keys go through WebDriver. MiniBrowser's toolbar is made small (its GTK style), or the window
// would not narrow to a phone's width.
const MINIBROWSER = process.env.ZOPP_MINIBROWSER ?? '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const TOOLBAR_STYLE = '* { font-size: 1px; min-width: 0; min-height: 0; padding: 0; margin: 0; border-width: 0; }\n' +
    'entry { min-width: 0; }\n';

// Processes each started in a group of its own: stop() ends every group (killed after 5 s of ignoring the
// request) and settles once their first processes have ended; this process's exit ends them too.
function processGroups() {
    const processes = [];
    return {
        start(command, env = {}, stdio = 'ignore') {
            const child = spawn(command[0], command.slice(1), { stdio, detached: true, env: { ...process.env, ...env } });
            processes.push(child);
            const kill = () => { try { process.kill(-child.pid, 'SIGKILL'); } catch { /* gone */ } };
            process.on('exit', kill);
            child.once('exit', () => process.off('exit', kill));
            return child;
        },
        stop() {
            const ended = processes.map(child => child.exitCode !== null || child.signalCode !== null ||
                                                 new Promise(resolve => child.once('exit', resolve)));
            const signal = name => {
                for (const child of processes) {
                    try { process.kill(-child.pid, name); } catch { /* gone */ }
                }
            };
            signal('SIGTERM');
            const insist = setTimeout(() => signal('SIGKILL'), 5000);
            return Promise.all(ended).finally(() => clearTimeout(insist));
        },
    };
}

// An X server of its own and a home whose GTK style makes MiniBrowser's toolbar small and its scroll bars
// take room: { env, start(command, env, stdio), stop() }. stop() ends everything started.
async function privateDesktop() {
    const home = mkdtempSync(join(tmpdir(), 'zopp-webkit-'));
    mkdirSync(join(home, 'gtk-3.0'));
    writeFileSync(join(home, 'gtk-3.0', 'gtk.css'), TOOLBAR_STYLE);
    // No overlay scroll bars: they would take no room.
    writeFileSync(join(home, 'gtk-3.0', 'settings.ini'), '[Settings]\ngtk-overlay-scrolling = false\n');
    const groups = processGroups();
    const xvfb = groups.start(['Xvfb', '-displayfd', '3', '-screen', '0', '2600x1600x24', '-nolisten', 'tcp'], {},
                              ['ignore', 'ignore', 'ignore', 'pipe']);
    const display = await new Promise((resolve, reject) => {
        let seen = '';
        xvfb.stdio[3].on('data', chunk => {
            seen += chunk;
            if (seen.includes('\n')) resolve(`:${seen.trim()}`);
        });
        xvfb.on('exit', code => reject(new Error(`Xvfb ended with ${code}`)));
    });
    const env = { DISPLAY: display, XDG_CONFIG_HOME: home, HOME: home };
    return {
        env,
        start: (command, extra = {}, stdio = 'ignore') => groups.start(command, { ...env, ...extra }, stdio),
        async stop() {
            await groups.stop();
            rmSync(home, { recursive: true, force: true, maxRetries: 5 });
        },
    };
}

// The engine's browser started on the address with nothing attached to it, no driver and no protocol, as a
// visitor starts one, with a profile of its own (and, but for MiniBrowser, a window of about the size
// given): { close() }. A driver's hooks run in the page's process at every navigation and request; a
// measure of the page itself leaves them out.
export async function launchUndriven(engine, url, { width = 800, height = 720 } = {}) {
    const profile = mkdtempSync(join(tmpdir(), `zopp-${engine}-profile-`));
    const groups = engine === 'webkit' ? await privateDesktop() : processGroups();
    if (engine === 'chromium') {
        groups.start([executable(engine), '--headless=new', '--no-sandbox', '--disable-gpu', '--mute-audio',
                      '--no-first-run', '--no-default-browser-check', `--user-data-dir=${profile}`,
                      `--window-size=${width},${height}`, url]);
    } else if (engine === 'firefox') {
        const prefs = { ...FIREFOX_PREFS, 'browser.shell.checkDefaultBrowser': false, 'browser.aboutwelcome.enabled': false,
                        'datareporting.policy.dataSubmissionEnabled': false,
                        'browser.startup.homepage_override.mstone': 'ignore' };
        writeFileSync(join(profile, 'user.js'), Object.entries(prefs)
            .map(([name, value]) => `user_pref(${JSON.stringify(name)}, ${JSON.stringify(value)});\n`).join(''));
        groups.start([executable(engine), '--headless', '--no-remote', '--profile', profile,
                      `--window-size=${width},${height}`, url]);
    } else {
        groups.start([MINIBROWSER, url], { XDG_DATA_HOME: profile, XDG_CACHE_HOME: profile });
    }
    return {
        async close() {
            await groups.stop();
            rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
        },
    };
}

class WebKitBrowser {
    static async launch() {
        const desktop = await privateDesktop();
        const port = await freePort();
        const webDriver = desktop.start([process.env.ZOPP_WEBKITWEBDRIVER ?? 'WebKitWebDriver', `--port=${port}`, '--host=127.0.0.1']);
        let driver = null;
        for (const end = Date.now() + 20000; !driver; await sleep(100)) {
            try {
                driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
                    browserName: 'MiniBrowser',
                    'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] },
                }).build();
            } catch (error) {
                if (Date.now() > end) throw error;
            }
        }
        return new WebKitBrowser(driver, desktop, webDriver.pid);
    }
    constructor(driver, desktop, pid) {
        this.engine = 'webkit';
        this.pid = pid;  // MiniBrowser and its helpers descend from WebKitWebDriver
        this.driver = driver;
        this.desktop = desktop;
        this.env = desktop.env;
    }
    // One page: WebDriver drives one window at a time.
    async newPage() {
        return new WebKitPage(this);
    }
    async close() {
        await this.driver.quit().catch(() => {});
        await this.desktop.stop();
    }
}

class WebKitPage extends Page {
    constructor(browser) {
        super();
        this.browser = browser;
        this.driver = browser.driver;
        this.engine = 'webkit';
        this.window = null;  // the driver's handle of the page's window
        this.offset = null;  // the viewport's top left corner on the X screen
        this.at = null;      // where the X pointer is
    }
    async open(url) {
        this.window ??= await this.driver.getWindowHandle();
        await this.driver.get(url);
        this.offset = null;
    }
    // The expression's value, promises awaited.
    async evaluate(expression) {
        const result = await this.driver.executeAsyncScript(`const done = arguments[arguments.length - 1];
            Promise.resolve().then(() => (0, eval)(arguments[0])).then(value => done({ value }),
                                                                       error => done({ error: String(error) }));`,
        expression);
        if (result.error !== undefined) throw new Error(`${expression}: ${result.error}`);
        return result.value ?? null;
    }
    // The window is sized so that its viewport has the size asked for. A device pixel ratio cannot be set.
    async setViewport(width, height, { deviceScaleFactor = 1 } = {}) {
        if (deviceScaleFactor !== 1) throw new Error('WebDriver cannot set a device pixel ratio');
        const window = this.driver.manage().window();
        for (let tries = 0; tries < 3; ++tries) {
            const [innerWidth, innerHeight] = await this.evaluate('[innerWidth, innerHeight]');
            if (innerWidth === width && innerHeight === height) break;
            const rect = await window.getRect();
            try {
                await window.setRect({ x: 0, y: 0, width: rect.width + width - innerWidth, height: rect.height + height - innerHeight });
            } catch (error) {
                // Sizes read while the window still settles from the last change can make no window.
                if (error.name !== 'InvalidArgumentError') throw error;
                await sleep(100);
            }
        }
        const [innerWidth, innerHeight] = await this.evaluate('[innerWidth, innerHeight]');
        if (innerWidth !== width || innerHeight !== height) {
            throw new Error(`the viewport is ${innerWidth}×${innerHeight}, not ${width}×${height}`);
        }
        this.offset = null;
    }
    xdotool(...args) {
        return promisify(execFile)('xdotool', args, { env: { ...process.env, ...this.browser.env } });
    }
    // Where the viewport's corner is on the screen, from a motion the page sees.
    async screenOffset() {
        if (this.offset) return this.offset;
        await this.evaluate(`addEventListener('mousemove', event => {
            window.zoppScreenOffset = { x: event.screenX - event.clientX, y: event.screenY - event.clientY };
        }, { once: true }); window.zoppScreenOffset = null`);
        const [x, y, chrome] = await this.evaluate('[screenX, screenY, outerHeight - innerHeight]');
        for (const nudge of [0, 1]) await this.xdotool('mousemove', '--sync', `${x + 20 + nudge}`, `${y + chrome + 20}`);
        for (const end = Date.now() + 5000; !this.offset && Date.now() < end; await sleep(20)) {
            this.offset = await this.evaluate('window.zoppScreenOffset');
        }
        if (!this.offset) throw new Error('the page saw no motion of the X pointer');
        return this.offset;
    }
    async pointer(action, what) {
        if (action !== 'move') {
            return this.xdotool(action === 'press' ? 'mousedown' : 'mouseup', `${X_BUTTONS[what]}`);
        }
        const offset = await this.screenOffset();
        const x = Math.floor(offset.x + what.x), y = Math.floor(offset.y + what.y);
        if (this.at && this.at.x === x && this.at.y === y) return undefined;
        this.at = { x, y };
        return this.xdotool('mousemove', '--sync', `${x}`, `${y}`);
    }
    // X's wheel notches are clicks of buttons 4 (up), 5 (down), 6 (left) and 7 (right).
    wheel(direction) {
        return this.xdotool('click', `${{ up: 4, down: 5, left: 6, right: 7 }[direction]}`);
    }
    async key(name, down) {
        const key = SELENIUM_KEYS[name] ?? name;
        await this.driver.actions()[down ? 'keyDown' : 'keyUp'](key).perform();
    }
    // Another window takes the focus and gives it back; the driver goes on talking to the page's.
    async focus(away) {
        if (away) {
            await this.driver.switchTo().newWindow('window');
            this.spare = await this.driver.getWindowHandle();
        } else {
            await this.driver.switchTo().window(this.spare);
            await this.driver.close();
        }
        await this.driver.switchTo().window(this.window);
    }
    async screenshotPng() {
        return Buffer.from(await this.driver.takeScreenshot(), 'base64');
    }
    // The X input focus to the page's window, which no window manager gives it here.
    focusWindow() {
        return this.xdotool('search', '--onlyvisible', '--name', 'ZOPP', 'windowfocus');
    }
    // The engine's computed role and name of each button shown inside the selector's element.
    async accessibleControls(selector) {
        const controls = [], focused = await (await this.driver.switchTo().activeElement()).getId();
        for (const element of await this.driver.findElements(By.css(`${selector} button`))) {
            if (!await element.isDisplayed()) continue;
            const state = async name => await element.getAttribute(`aria-${name}`) === 'true';
            controls.push(described(await element.getAriaRole(), await element.getAccessibleName(), {
                checked: await state('checked'), pressed: await state('pressed'), disabled: !await element.isEnabled(),
                focused: await element.getId() === focused }));
        }
        return controls;
    }
}
