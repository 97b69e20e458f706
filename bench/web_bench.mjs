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
import { mkdtempSync, readFileSync, readdirSync, rmSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';

import { ENGINES, launch, launchUndriven } from '../harness/web/engines.mjs';
import { CanvasPage } from '../harness/web/page_harness.mjs';
import { instrumentedCopy, serveFolder } from '../harness/web/site.mjs';

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
    for (const name of ['instantiate', 'instantiateStreaming']) {
        const instantiate = WebAssembly[name];
        WebAssembly[name] = (...args) => instantiate(...args).then(result => {
            window.zoppStarted = performance.now();
            return result;
        });
    }
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

// Reports the page makes itself, in a browser no driver is attached to (a driver's hooks run in the page's
// process at every navigation and request: Firefox's took 30–40 ms of each load). Opened with
// ?report=<address>, the page goes there once it has shown what it drew and kept still for a while, with
// ?shown=<when its last transfer was shown>; with &kept as well, once the service worker keeps the page for
// offline play.
const REPORTER = `
    const zoppQuery = new URLSearchParams(location.search), zoppReport = zoppQuery.get('report');
    if (zoppReport && zoppQuery.has('kept')) {
        navigator.serviceWorker.ready.then(() => setTimeout(() => location.replace(zoppReport), 700));
    } else if (zoppReport) {
        const still = setInterval(() => {
            const last = window.zoppPuts[window.zoppPuts.length - 1];
            if (!last || performance.now() - last.drawn < 700 || window.zoppPuts.some(entry => entry.shown === null)) return;
            clearInterval(still);
            location.replace(zoppReport + '?shown=' + last.shown);
        }, 50);
    }
`;

// Visits in one browser started with no driver, each to a site of its own from openSite() (a server on
// another port, which the browser has not seen: a first visit, no worker answers), with the query given
// after ?report=; each site is closed once its page has reported. The browser starts on a page that waits
// before the first visit, as a visitor's browser is already running, and goes from each report to the next
// visit after a quiet second. Returns each visit's site and the report's query.
async function undrivenVisits(engine, count, openSite, query = '') {
    const visits = [];
    let site = null, timer = null, finish;
    const finished = new Promise((resolve, reject) => { finish = { resolve, reject }; });
    // The next visit's address, or '' after the last.
    const nextVisit = async () => {
        clearTimeout(timer);
        if (visits.length === count) return '';
        site = await openSite();
        timer = setTimeout(() => finish.reject(new Error(`${engine}: the page did not report`)), 20000);
        return `${site.url}index.html?report=${encodeURIComponent(`${reportsUrl}report`)}${query}`;
    };
    const reports = createServer((request, response) => {
        const url = new URL(request.url, reportsUrl);
        if (url.pathname !== '/start' && url.pathname !== '/report') return response.writeHead(404).end();
        if (url.pathname === '/report') {
            visits.push({ site, report: url.searchParams });
            site.close();
        }
        nextVisit().then(next => {
            if (!next) finish.resolve();
            // The next visit's clock starts with this page's navigation.
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
        return visits;
    } finally {
        clearTimeout(timer);
        await browser.close();
        site?.close();
        reports.closeAllConnections();
        reports.close();
    }
}

// Page load to the setup screen shown: nothing draws after it until the player clicks, so its last
// transfer completes it.
async function loadTimes(engine, folder) {
    const visits = await undrivenVisits(engine, loads, () => serveFolder(folder));
    return visits.map(visit => Number(visit.report.get('shown')));
}

// Clicks on the setup screen's rule boxes, each of which redraws both tick marks and keeps the game (a
// click's time includes the keeping); reloads with and without a game kept; then the idle tab.
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
            const releases = await page.evaluate('window.zoppReleases.length');
            await page.click(40, i % 2 ? 50 : 100);
            // The driver may return before the page has the release (WebKit's pointer goes through the X
            // server), and the frame comes after it.
            let result = null;
            for (const end = Date.now() + 2000; !result && Date.now() < end; await sleep(20)) {
                result = await page.evaluate(`(() => {
                    const release = window.zoppReleases[${releases}];
                    const put = window.zoppPuts.slice(${before}).find(entry => entry.drawn >= release);
                    return put && put.shown !== null ? { drawn: put.drawn - release, shown: put.shown - release } : null;
                })()`);
            }
            if (!result) throw new Error(`${engine}: click ${i + 1} changed nothing`);
            drawn.push(result.drawn);
            shown.push(result.shown);
        }
        // The program's start (its code instantiated) to the board shown with a game in progress kept
        // (restored and drawn), alternated with starts with nothing kept (the setup screen), in the same
        // browser: what restoring adds to a start. From the start, as leaving a page takes the engine a
        // varying while that the program does not decide; both after the same clicks, as what the page
        // before did weighs on the next start in some engines (WebKit's took 20 ms longer after a throw).
        const shownAfterLoad = async () => {
            await page.open(url);
            await untilDrawn(page);
            return page.evaluate('window.zoppPuts[window.zoppPuts.length - 1].shown - window.zoppStarted');
        };
        const restored = [], fresh = [];
        const throwOnce = async () => {
            await page.click(155, 375);  // one player
            await page.click(470, 405);  // the first throw
            await sleep(200);
        };
        for (let i = 0; i < loads; ++i) {
            await throwOnce();
            restored.push(await shownAfterLoad());
            await throwOnce();
            // Nothing kept, and nothing kept again as the page goes.
            await page.evaluate("localStorage.removeItem('zopp-game'); Storage.prototype.setItem = () => {}");
            fresh.push(await shownAfterLoad());
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
        return { drawn, shown, idle, blank, restored, fresh };
    } finally {
        await browser.close();
    }
}

// What a first visit transfers until the service worker has kept the page. The page carries the
// reporter, whose bytes are taken off each time the page is sent in full.
async function firstVisit(engine, folder) {
    const reporterBytes = statSync(join(folder, 'index.html')).size - statSync(join(dist, 'index.html')).size;
    const [{ site }] = await undrivenVisits(engine, 1, () => serveFolder(folder, { countBytes: true }), '&kept');
    const pagesSent = site.responses().filter(response => /^\/(index\.html)?(\?|$)/.test(response.path) &&
                                                          response.status === 200).length;
    return site.bytesSent() - reporterBytes * pagesSent;
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
        const { drawn, shown, idle, blank, restored, fresh } = await clicksAndIdle(engine, `${server.url}index.html`);
        const transfer = await firstVisit(engine, site.folder);
        console.log(`${engine}: page load to setup screen shown, median of ${loads}: ${ms(median(load))}` +
                    ` (min ${ms(Math.min(...load))}, max ${ms(Math.max(...load))})`);
        console.log(`${engine}: click to canvas changed, median of ${clicks}: ${ms(median(drawn))}` +
                    ` (max ${ms(Math.max(...drawn))}); to the next frame shown: ${ms(median(shown))}`);
        console.log(`${engine}: program start to a kept game shown, median of ${loads}: ${ms(median(restored))}; ` +
                    `to the setup screen with nothing kept: ${ms(median(fresh))} (driven)`);
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
