// Harness for the browser tests: a plain static file server, a headless Chromium of its own, and a small
// client of Chromium's DevTools protocol to drive one page and read its canvas.
//
//   const server = await serveFolder('dist/web');          // python3's http.server on a free port
//   const browser = await launchBrowser();
//   const page = await browser.newPage();
//   await page.open(server.url + 'index.html');
//   await page.click(470, 405);                             // canvas pixels, as mouse events
//   const rgba = await page.canvasPixels(0, 0, 640, 480);   // getImageData
//   await browser.close(); server.close();
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { createServer, connect } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const CHROMIUM = process.env.ZOPP_CHROMIUM || '/usr/bin/chromium';
const PYTHON = process.env.ZOPP_PYTHON || 'python3';

// Resolves with the first match of `pattern` in the process's output, rejects when it ends first or the
// time is up.
function waitForOutput(child, stream, pattern, what, timeoutMs = 20000) {
    return new Promise((resolve, reject) => {
        let seen = '';
        const timer = setTimeout(() => reject(new Error(`${what}: no answer in ${timeoutMs} ms:\n${seen}`)), timeoutMs);
        stream.on('data', chunk => {
            seen += chunk;
            const match = seen.match(pattern);
            if (match) {
                clearTimeout(timer);
                resolve(match);
            }
        });
        child.on('exit', code => {
            clearTimeout(timer);
            reject(new Error(`${what} ended with ${code}:\n${seen}`));
        });
    });
}

// Serves the folder as any static host would: no special headers. server.close() ends the server, and
// server.closed settles once it has ended. With countBytes, a proxy in front of it counts every byte the
// server sends, headers included: server.bytesSent().
export async function serveFolder(folder, { countBytes = false } = {}) {
    const server = spawn(PYTHON, ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', folder],
                         { stdio: ['ignore', 'pipe', 'pipe'] });
    server.stderr.resume();  // the request log
    process.on('exit', () => server.kill());  // also when a test ends by an error
    const closed = new Promise(resolve => server.on('exit', resolve));
    const [, port] = await waitForOutput(server, server.stdout, /port (\d+)/, 'http.server');
    if (!countBytes) return { url: `http://127.0.0.1:${port}/`, close: () => server.kill(), closed };

    let sent = 0;
    const proxy = createServer(client => {
        const upstream = connect(Number(port), '127.0.0.1');
        upstream.on('data', chunk => { sent += chunk.length; });
        client.pipe(upstream).pipe(client);
        client.on('error', () => upstream.destroy());
        upstream.on('error', () => client.destroy());
    });
    await new Promise(resolve => proxy.listen(0, '127.0.0.1', resolve));
    return {
        url: `http://127.0.0.1:${proxy.address().port}/`,
        close: () => {
            proxy.close();
            server.kill();
        },
        closed,
        bytesSent: () => sent,
    };
}

export async function launchBrowser() {
    const profile = mkdtempSync(join(tmpdir(), 'zopp-chromium-'));
    // Without the background-networking switches Chromium keeps reaching out to the network, which a
    // closed machine refuses many connections at a time. The protocol runs over a pipe pair (Chromium
    // reads file descriptor 3 and writes 4), which needs no WebSocket client.
    const chromium = spawn(CHROMIUM, [
        '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--disable-default-apps', '--mute-audio', `--user-data-dir=${profile}`, '--remote-debugging-pipe',
        'about:blank',
    ], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'], detached: true });  // its own process group
    process.on('exit', () => {  // also when a test ends by an error
        try {
            process.kill(-chromium.pid, 'SIGKILL');
        } catch {
            // already gone
        }
    });
    let output = '';
    chromium.stderr.on('data', chunk => { output = (output + chunk).slice(-4000); });
    const connection = new DevTools(chromium.stdio[3], chromium.stdio[4]);
    let timer;
    const started = await Promise.race([
        connection.send('Browser.getVersion').then(() => true),
        new Promise(resolve => chromium.on('exit', () => resolve(false))),
        new Promise(resolve => { timer = setTimeout(() => resolve(false), 30000); }),
    ]);
    clearTimeout(timer);
    if (!started) {
        chromium.kill();
        throw new Error(`chromium did not start:\n${output}`);
    }
    return new Browser(chromium, connection, profile);
}

// The DevTools protocol over Chromium's pipe: JSON messages, each ended by a zero byte.
class DevTools {
    constructor(toBrowser, fromBrowser) {
        this.toBrowser = toBrowser;
        this.lastId = 0;
        this.pending = new Map();
        this.listeners = new Set();
        let unread = Buffer.alloc(0);
        fromBrowser.on('data', chunk => {
            unread = Buffer.concat([unread, chunk]);
            for (let end = unread.indexOf(0); end >= 0; end = unread.indexOf(0)) {
                this.receive(JSON.parse(unread.subarray(0, end).toString('utf8')));
                unread = unread.subarray(end + 1);
            }
        });
        fromBrowser.on('error', () => {});
    }

    receive(data) {
        if (data.id === undefined) {
            for (const listener of this.listeners) listener(data);
            return;
        }
        const call = this.pending.get(data.id);
        this.pending.delete(data.id);
        if (data.error) {
            call.reject(new Error(`${call.method}: ${data.error.message}`));
        } else {
            call.resolve(data.result);
        }
    }

    send(method, params = {}, sessionId = undefined) {
        const id = ++this.lastId;
        return new Promise((resolve, reject) => {
            this.pending.set(id, { resolve, reject, method });
            this.toBrowser.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
        });
    }

    close() {
        this.toBrowser.end();
    }
}

class Browser {
    constructor(chromium, connection, profile) {
        this.chromium = chromium;
        this.connection = connection;
        this.profile = profile;
    }

    async newPage() {
        const { targetId } = await this.connection.send('Target.createTarget', { url: 'about:blank' });
        const { sessionId } = await this.connection.send('Target.attachToTarget', { targetId, flatten: true });
        const page = new Page(this.connection, sessionId, targetId);
        await page.start();
        return page;
    }

    // Ends Chromium with all its helper processes (its process group), then removes its profile.
    async close() {
        this.connection.close();
        const group = -this.chromium.pid;
        const alive = () => {
            try {
                process.kill(group, 0);
                return true;
            } catch {
                return false;
            }
        };
        if (alive()) process.kill(group, 'SIGTERM');
        for (const end = Date.now() + 5000; alive() && Date.now() < end;) {
            await new Promise(resolve => setTimeout(resolve, 50));
        }
        if (alive()) process.kill(group, 'SIGKILL');
        rmSync(this.profile, { recursive: true, force: true, maxRetries: 5 });
    }
}

export class Page {
    constructor(connection, sessionId, targetId) {
        this.connection = connection;
        this.sessionId = sessionId;
        this.targetId = targetId;
        this.console = [];
        this.errors = [];
        connection.listeners.add(event => {
            if (event.sessionId !== sessionId) return;
            if (event.method === 'Runtime.consoleAPICalled') {
                this.console.push({ type: event.params.type, text: event.params.args.map(a => a.value).join(' ') });
            } else if (event.method === 'Runtime.exceptionThrown') {
                this.errors.push(event.params.exceptionDetails);
            }
        });
    }

    send(method, params = {}) {
        return this.connection.send(method, params, this.sessionId);
    }

    async start() {
        await this.send('Runtime.enable');
        await this.send('Page.enable');
    }

    // Runs before every document the page loads, ahead of the page's own scripts.
    async beforeEachLoad(source) {
        await this.send('Page.addScriptToEvaluateOnNewDocument', { source });
    }

    async open(url) {
        const loaded = new Promise(resolve => {
            const listener = event => {
                if (event.sessionId === this.sessionId && event.method === 'Page.loadEventFired') {
                    this.connection.listeners.delete(listener);
                    resolve();
                }
            };
            this.connection.listeners.add(listener);
        });
        this.box = null;
        const { errorText } = await this.send('Page.navigate', { url });
        if (errorText) throw new Error(`${url}: ${errorText}`);
        await loaded;
    }

    // The value of a JavaScript expression in the page (promises awaited).
    async evaluate(expression) {
        const { result, exceptionDetails } =
            await this.send('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true });
        if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`);
        return result.value;
    }

    // Emulates a screen: its viewport in CSS pixels, device pixels per CSS pixel, and whether it is a phone's.
    async setViewport(width, height, { deviceScaleFactor = 1, mobile = false } = {}) {
        await this.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor, mobile });
        this.box = null;
    }

    // The canvas's box in the viewport, in CSS pixels, and its size in canvas pixels.
    async canvasBox() {
        if (!this.box) {
            this.box = await this.evaluate(`(() => {
                const canvas = document.getElementById('screen'), box = canvas.getBoundingClientRect();
                return { left: box.left, top: box.top, width: box.width, height: box.height,
                         pixelsWide: canvas.width, pixelsHigh: canvas.height };
            })()`);
        }
        return this.box;
    }

    // Where the centre of canvas pixel (x, y) is in the viewport, whatever the canvas's scale.
    async viewportPoint(x, y) {
        const box = await this.canvasBox();
        return { x: box.left + ((x + 0.5) * box.width) / box.pixelsWide, y: box.top + ((y + 0.5) * box.height) / box.pixelsHigh };
    }

    // Moves the mouse to canvas pixel (x, y), in steps of at most 40 canvas pixels, as a hand would.
    async moveMouse(x, y) {
        const from = this.mouse ?? { x: -20, y: -20 };
        const steps = Math.max(1, Math.ceil(Math.max(Math.abs(x - from.x), Math.abs(y - from.y)) / 40));
        for (let i = 1; i <= steps; ++i) {
            const px = Math.round(from.x + ((x - from.x) * i) / steps), py = Math.round(from.y + ((y - from.y) * i) / steps);
            await this.send('Input.dispatchMouseEvent', { type: 'mouseMoved', ...(await this.viewportPoint(px, py)) });
        }
        this.mouse = { x, y };
    }

    // A left click at canvas pixel (x, y): the pointer moves there, the button goes down and up.
    async click(x, y) {
        await this.moveMouse(x, y);
        const point = await this.viewportPoint(x, y);
        for (const type of ['mousePressed', 'mouseReleased']) {
            await this.send('Input.dispatchMouseEvent',
                            { type, ...point, button: 'left', buttons: type === 'mousePressed' ? 1 : 0, clickCount: 1 });
        }
    }

    // A finger tap at canvas pixel (x, y).
    async tap(x, y) {
        const point = { ...(await this.viewportPoint(x, y)), id: 1 };
        await this.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [point] });
        await this.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    }

    // RGBA bytes of a rectangle of the canvas, row by row, as getImageData gives them.
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
}
