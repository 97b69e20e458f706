// Measures the browser build as a visitor meets it, in a headless Chromium against a plain static server
// that compresses nothing: what a first visit transfers until the page is kept for offline play, page
// load to the setup screen shown, click to canvas changed and the idle tab's CPU; with --lighthouse, the
// four category scores of that Lighthouse command line (mobile) and the weight it counts.
//
//   node bench/web_bench.mjs --dist <dist/web> [--loads N] [--clicks N] [--idle-seconds S]
//        [--lighthouse <lighthouse command> --lighthouse-runs N]
import { execFile } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';

import { launchBrowser, serveFolder } from '../tests/web/browser.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => {
    const at = args.indexOf(`--${name}`);
    return at >= 0 ? args[at + 1] : fallback;
};
const dist = option('dist', 'dist/web');
const loads = Number(option('loads', 15));
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
// with the time the page received them. All on the page's clock (milliseconds since navigation).
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
    window.addEventListener('mouseup', event => window.zoppReleases.push(event.timeStamp), true);
`;

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

const server = await serveFolder(dist, { countBytes: true });
const browser = await launchBrowser();
try {
    // A first visit: everything the server sends until the service worker has kept the page.
    const visitor = await browser.newPage();
    await visitor.send('Emulation.setDeviceMetricsOverride', { width: 800, height: 720, deviceScaleFactor: 1, mobile: false });
    await visitor.open(`${server.url}index.html`);
    await visitor.evaluate('navigator.serviceWorker.ready.then(() => true)');
    await sleep(700);
    const transfer = server.bytesSent();

    const page = await browser.newPage();
    await page.send('Emulation.setDeviceMetricsOverride', { width: 800, height: 720, deviceScaleFactor: 1, mobile: false });
    await page.beforeEachLoad(RECORDER);
    // Every load fetches every file, as a first visit does.
    await page.send('Network.enable');
    await page.send('Network.setCacheDisabled', { cacheDisabled: true });
    await page.send('Network.setBypassServiceWorker', { bypass: true });

    // Page load: nothing draws after the setup screen until the player clicks, so its last transfer
    // completes it.
    const loadTimes = [];
    for (let i = 0; i < loads; ++i) {
        await page.open(`${server.url}index.html?load=${i}`);
        await sleep(700);
        const last = await page.evaluate('window.zoppPuts[window.zoppPuts.length - 1] ?? null');
        if (!last || last.shown === null) throw new Error('the setup screen was not shown');
        loadTimes.push(last.shown);
    }

    // Clicks on the setup screen's rule boxes: each one redraws both tick marks.
    const latencies = [], shownLatencies = [];
    for (let i = 0; i < clicks; ++i) {
        const before = await page.evaluate('window.zoppPuts.length');
        await page.click(40, i % 2 ? 50 : 100);
        await sleep(60);
        const result = await page.evaluate(`(() => {
            const release = window.zoppReleases[window.zoppReleases.length - 1];
            const put = window.zoppPuts.slice(${before}).find(entry => entry.drawn >= release);
            return put ? { drawn: put.drawn - release, shown: put.shown - release } : null;
        })()`);
        if (!result) throw new Error(`click ${i + 1} changed nothing`);
        latencies.push(result.drawn);
        shownLatencies.push(result.shown);
    }

    // The idle tab: the page's main thread while nothing happens.
    await sleep(500);
    await page.send('Performance.enable');
    const metrics = async () =>
        Object.fromEntries((await page.send('Performance.getMetrics')).metrics.map(m => [m.name, m.value]));
    const start = await metrics();
    await sleep(idleSeconds * 1000);
    const end = await metrics();
    const busy = (end.TaskDuration - start.TaskDuration) / (end.Timestamp - start.Timestamp);

    console.log(`page load to setup screen shown, median of ${loads}: ${ms(median(loadTimes))}` +
                ` (min ${ms(Math.min(...loadTimes))}, max ${ms(Math.max(...loadTimes))})`);
    console.log(`click to canvas changed, median of ${clicks}: ${ms(median(latencies))}` +
                ` (max ${ms(Math.max(...latencies))}); to the next frame shown: ${ms(median(shownLatencies))}`);
    console.log(`first visit until kept for offline play, from a server that compresses nothing: ` +
                `${(transfer / 1024).toFixed(1)} KB (${transfer} bytes)`);
    console.log(`idle tab, main thread busy: ${(100 * busy).toFixed(2)} % of one core over ${idleSeconds} s`);
} finally {
    server.close();
    await browser.close();
}
if (lighthouse) {
    const scores = await runLighthouse();
    console.log(`Lighthouse (mobile), median of ${lighthouseRuns}: performance ${scores.performance}, ` +
                `accessibility ${scores.accessibility}, best practices ${scores['best-practices']}, SEO ${scores.seo}; ` +
                `total byte weight ${(scores.weight / 1024).toFixed(1)} KB`);
}
