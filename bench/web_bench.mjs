// Measures the browser build as a visitor meets it, in a headless Chromium against a plain static server:
// page load to the setup screen shown, click to canvas changed, the transfer size and the idle tab's CPU.
//
//   node bench/web_bench.mjs --dist <dist/web> [--loads N] [--clicks N] [--idle-seconds S]
import { readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

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

const server = await serveFolder(dist);
const browser = await launchBrowser();
try {
    const page = await browser.newPage();
    await page.send('Emulation.setDeviceMetricsOverride', { width: 800, height: 720, deviceScaleFactor: 1, mobile: false });
    await page.beforeEachLoad(RECORDER);
    // Every load fetches every file, as a first visit does.
    await page.send('Network.enable');
    await page.send('Network.setCacheDisabled', { cacheDisabled: true });

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

    let transfer = 0;
    for (const file of readdirSync(dist)) transfer += gzipSync(readFileSync(join(dist, file)), { level: 9 }).length;

    console.log(`page load to setup screen shown, median of ${loads}: ${ms(median(loadTimes))}` +
                ` (min ${ms(Math.min(...loadTimes))}, max ${ms(Math.max(...loadTimes))})`);
    console.log(`click to canvas changed, median of ${clicks}: ${ms(median(latencies))}` +
                ` (max ${ms(Math.max(...latencies))}); to the next frame shown: ${ms(median(shownLatencies))}`);
    console.log(`transfer size of ${dist}, gzipped: ${(transfer / 1024).toFixed(1)} KB`);
    console.log(`idle tab, main thread busy: ${(100 * busy).toFixed(2)} % of one core over ${idleSeconds} s`);
} finally {
    server.close();
    await browser.close();
}
