// Measures the browser build as a visitor meets it, in each browser engine against a plain static server
// that compresses nothing: what a first visit transfers until the page is kept for offline play, page
// load to the setup screen shown (each load a first visit to a site the browser has not seen, in a browser
// no driver is attached to), click to canvas changed and the idle tab's CPU (the whole browser's, all its
// processes, beside its CPU with a blank page); with --lighthouse, the four category scores of that
// Lighthouse command line (mobile, in Chromium) and the weight it counts.
//
//   node bench/web_bench.mjs --dist <dist/web> [--engines chromium,firefox,webkit] [--loads N] [--clicks N]
//        [--idle-seconds S] [--lighthouse <lighthouse command> --lighthouse-runs N]
import { execFile } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';

import { ENGINES, launch, launchUndriven } from '../tests/web/engines.mjs';
import { CanvasPage } from '../tests/web/page_harness.mjs';
import { instrumentedCopy, serveFolder } from '../tests/web/site.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => {
    const at = args.indexOf(`--${name}`);
    return at >= 0 ? args[at + 1] : fallback;
};
const dist = option('dist', 'dist/web');
const engines = option('engines', ENGINES.join(',')).split(',');
const loads = Number(option('loads', 7));
const clicks = Number(option('clicks', 30));
const idleSeconds = Number(option('idle-seconds', 10));
const lighthouse = option('lighthouse', null);
const lighthouseRuns = Number(option('lighthouse-runs', 3));

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const median = values => {
    const sorted = [...values].sort((a, b) => a - b);
    const middle = Math.floor(sorted.length / 2);
    return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const ms = value => `${value.toFixed(1)} ms`;

// Every canvas transfer with its time, and the time of the frame that first shows it; mouse releases
// with the time the page received them (at their dispatch: some engines stamp events from input of the X
// server on its clock). All on the page's clock (milliseconds since navigation).
const RECORDER = `
    window.zoppPuts = [];
    window.zoppReleases = [];
    const put = CanvasRenderingContext2D.prototype.putImageData;
    CanvasRenderingContext2D.prototype.putImageData = function(...args) {
        put.apply(this, args);
        const entry = { drawn: performance.now(), shown: null };
        window.zoppPuts.push(entry);
        requestAnimationFrame(() => { entry.shown = performance.now(); });
    };
    window.addEventListener('mouseup', () => window.zoppReleases.push(performance.now()), true);
`;

// Processor time of the process and all its descendants, in seconds, from /proc.
function processorSeconds(root) {
    const children = new Map(), ticks = new Map();
    for (const pid of readdirSync('/proc').filter(name => /^\d+$/.test(name))) {
        try {
            const fields = readFileSync(`/proc/${pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
            const parent = Number(fields[1]);
            if (!children.has(parent)) children.set(parent, []);
            children.get(parent).push(Number(pid));
            ticks.set(Number(pid), Number(fields[11]) + Number(fields[12]));
        } catch {
            // ended meanwhile
        }
    }
    let total = 0;
    for (const pending = [root]; pending.length;) {
        const pid = pending.pop();
        total += ticks.get(pid) ?? 0;
        pending.push(...(children.get(pid) ?? []));
    }
    return total / 100;  // USER_HZ
}

// Until the page has shown what it drew, and kept still for a while.
async function untilDrawn(page) {
    const shown = 'window.zoppPuts.length > 0 && window.zoppPuts.every(entry => entry.shown !== null)';
    for (const end = Date.now() + 10000; !await page.evaluate(shown) && Date.now() < end;) await sleep(50);
    await sleep(700);
}

// Page load to the setup screen shown, in a browser with no driver attached (a driver's hooks took 30–40 ms
// of each load in Firefox): nothing draws after the setup screen until the player clicks, so its last
// transfer completes it. The page reports it itself, to the address in its query, once it has kept still
// for a while; the answer sends the browser to the next load. Each load comes from a server of its own on
// another port, a site the browser has not seen, so that it fetches and compiles every file and no worker
// answers, as at a first visit. The browser starts on a page that waits before the first, as a visitor's
// browser is already running.
const REPORTER = `
    const zoppReport = new URLSearchParams(location.search).get('report');
    if (zoppReport) {
        const still = setInterval(() => {
            const last = window.zoppPuts[window.zoppPuts.length - 1];
            if (!last || performance.now() - last.drawn < 700 || window.zoppPuts.some(entry => entry.shown === null)) return;
            clearInterval(still);
            location.replace(zoppReport + '?shown=' + last.shown);
        }, 50);
    }
`;

async function loadTimes(engine, folder) {
    const times = [];
    let site = null, timer = null, finish;
    const finished = new Promise((resolve, reject) => { finish = { resolve, reject }; });
    // The next load's address, from a server of its own, or '' after the last.
    const nextLoad = async () => {
        clearTimeout(timer);
        if (times.length === loads) return '';
        site = await serveFolder(folder);
        timer = setTimeout(() => finish.reject(new Error(`${engine}: the setup screen was not shown`)), 20000);
        return `${site.url}index.html?report=${encodeURIComponent(`${reportsUrl}shown`)}`;
    };
    const reports = createServer((request, response) => {
        const url = new URL(request.url, reportsUrl);
        if (url.pathname !== '/start' && url.pathname !== '/shown') return response.writeHead(404).end();
        if (url.pathname === '/shown') {
            times.push(Number(url.searchParams.get('shown')));
            site.close();
        }
        nextLoad().then(next => {
            if (!next) finish.resolve();
            // A page of its own that leaves after a quiet while, as a visitor's browser has before the next
            // site; the next load's clock starts with that navigation.
            const wait = url.pathname === '/start' ? 2000 : 1000;
            response.writeHead(200, { 'Content-Type': 'text/html' }).end(`<!doctype html><title>ZOPP bench</title>
                <script>const next = ${JSON.stringify(next)}; if (next) setTimeout(() => location.replace(next), ${wait});</script>`);
        }, finish.reject);
    });
    await new Promise(resolve => reports.listen(0, '127.0.0.1', resolve));
    const reportsUrl = `http://127.0.0.1:${reports.address().port}/`;
    const browser = await launchUndriven(engine, `${reportsUrl}start`);
    try {
        await finished;
        return times;
    } finally {
        clearTimeout(timer);
        await browser.close();
        site?.close();
        reports.closeAllConnections();
        reports.close();
    }
}

// Clicks on the setup screen's rule boxes, each of which redraws both tick marks; then the idle tab.
async function clicksAndIdle(engine, url) {
    const browser = await launch(engine);
    try {
        const page = new CanvasPage(await browser.newPage());
        await page.setViewport(800, 720);
        await page.open(url);
        await untilDrawn(page);
        const drawn = [], shown = [];
        for (let i = 0; i < clicks; ++i) {
            const before = await page.evaluate('window.zoppPuts.length');
            await page.click(40, i % 2 ? 50 : 100);
            await sleep(60);
            const result = await page.evaluate(`(() => {
                const release = window.zoppReleases[window.zoppReleases.length - 1];
                const put = window.zoppPuts.slice(${before}).find(entry => entry.drawn >= release);
                return put ? { drawn: put.drawn - release, shown: put.shown - release } : null;
            })()`);
            if (!result) throw new Error(`${engine}: click ${i + 1} changed nothing`);
            drawn.push(result.drawn);
            shown.push(result.shown);
        }
        // The whole browser's processor time while nothing happens, beside its time with a blank page; each
        // after a wait, as a browser just started keeps busy with its own work for some seconds.
        const idleFor = async () => {
            await sleep(10000);
            const start = processorSeconds(browser.pid);
            await sleep(idleSeconds * 1000);
            return (processorSeconds(browser.pid) - start) / idleSeconds;
        };
        const idle = await idleFor();
        await page.open('about:blank');
        const blank = await idleFor();
        return { drawn, shown, idle, blank };
    } finally {
        await browser.close();
    }
}

// What a first visit transfers until the service worker has kept the page, from a plain copy.
async function firstVisit(engine) {
    const server = await serveFolder(dist, { countBytes: true });
    const browser = await launch(engine);
    try {
        const page = await browser.newPage();
        await page.setViewport(800, 720);
        await page.open(`${server.url}index.html`);
        await page.evaluate('navigator.serviceWorker.ready.then(() => true)');
        await sleep(700);
        return server.bytesSent();
    } finally {
        server.close();
        await browser.close();
    }
}

// Every category's score and the total byte weight, the median of the runs, against a server of their own
// with nothing between it and the browser.
async function runLighthouse() {
    const folder = mkdtempSync(join(tmpdir(), 'zopp-lighthouse-'));
    const server = await serveFolder(dist);
    const url = `${server.url}index.html`;
    try {
        const runs = [];
        for (let i = 0; i < lighthouseRuns; ++i) {
            const report = join(folder, `run-${i}.json`);
            await promisify(execFile)(lighthouse, [
                url, '--quiet', '--output=json', `--output-path=${report}`,
                '--only-categories=performance,accessibility,best-practices,seo',
                '--chrome-flags=--headless=new --no-sandbox --disable-gpu',
            ], { env: { ...process.env, CHROME_PATH: process.env.ZOPP_CHROMIUM || '/usr/bin/chromium' } });
            const { categories, audits } = JSON.parse(readFileSync(report, 'utf8'));
            runs.push({ ...Object.fromEntries(Object.entries(categories).map(([id, category]) => [id, category.score])),
                        weight: audits['total-byte-weight'].numericValue });
        }
        return Object.fromEntries(Object.keys(runs[0]).map(key => [key, median(runs.map(run => run[key]))]));
    } finally {
        server.close();
        rmSync(folder, { recursive: true, force: true });
    }
}

const site = instrumentedCopy(dist, RECORDER + REPORTER);
const server = await serveFolder(site.folder);
try {
    for (const engine of engines) {
        const load = await loadTimes(engine, site.folder);
        const { drawn, shown, idle, blank } = await clicksAndIdle(engine, `${server.url}index.html`);
        const transfer = await firstVisit(engine);
        console.log(`${engine}: page load to setup screen shown, median of ${loads}: ${ms(median(load))}` +
                    ` (min ${ms(Math.min(...load))}, max ${ms(Math.max(...load))})`);
        console.log(`${engine}: click to canvas changed, median of ${clicks}: ${ms(median(drawn))}` +
                    ` (max ${ms(Math.max(...drawn))}); to the next frame shown: ${ms(median(shown))}`);
        console.log(`${engine}: first visit until kept for offline play, from a server that compresses nothing: ` +
                    `${(transfer / 1024).toFixed(1)} KB (${transfer} bytes)`);
        console.log(`${engine}: idle tab, the whole browser busy: ${(100 * idle).toFixed(2)} % of one core over ` +
                    `${idleSeconds} s (with a blank page: ${(100 * blank).toFixed(2)} %)`);
    }
} finally {
    server.close();
    site.remove();
}
if (lighthouse) {
    const scores = await runLighthouse();
    console.log(`Lighthouse (mobile), median of ${lighthouseRuns}: performance ${scores.performance}, ` +
                `accessibility ${scores.accessibility}, best practices ${scores['best-practices']}, SEO ${scores.seo}; ` +
                `total byte weight ${(scores.weight / 1024).toFixed(1)} KB`);
}
