// Faults in a page end the program with the report the same fault gets natively: on the page in place of
// the canvas, with the signal's error number.
//   node fault_e2e.mjs <folder with zopp.js and zopp.wasm of fault_probe>
import { cpSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { launchBrowser, serveFolder } from './browser.mjs';

const reports = {
    divide: '\r\nAborting due to runtime error 11 ("floating point error" signal)\r\n\r\n',
    memory: '\r\nAborting due to runtime error 12 ("segmentation violation" signal)\r\n\r\n',
    unreachable: '\r\nAborting due to runtime error 10 ("illegal instruction" signal)\r\n\r\n',
    abort: '\r\nAborting due to runtime error 14 ("abnormal termination" signal)\r\n\r\n',
};

const site = mkdtempSync(join(tmpdir(), 'zopp-web-faults-'));
cpSync(process.argv[2], site, { recursive: true });
writeFileSync(join(site, 'index.html'),
              '<!doctype html><canvas id="screen"></canvas><script>var Module = {};</script><script src="zopp.js"></script>');
const server = await serveFolder(site);
const browser = await launchBrowser();
let failed = false;
try {
    for (const [fault, expected] of Object.entries(reports)) {
        const page = await browser.newPage();
        await page.open(`${server.url}index.html?fault=${fault}`);
        let report = null;
        for (const end = Date.now() + 10000; report === null && Date.now() < end;) {
            report = await page.evaluate(`document.getElementById('report')?.textContent ?? null`);
            await new Promise(resolve => setTimeout(resolve, 10));
        }
        const canvasGone = await page.evaluate(`document.getElementById('screen') === null`);
        if (report !== expected || !canvasGone || page.errors.length > 0) {
            console.error(`FAILED: ${fault}: the page shows ${JSON.stringify(report)}` +
                          `${canvasGone ? '' : ', the canvas is still there'}` +
                          `${page.errors.length ? `, it threw ${JSON.stringify(page.errors[0])}` : ''}`);
            failed = true;
        }
    }
} finally {
    server.close();
    await browser.close();
    rmSync(site, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
