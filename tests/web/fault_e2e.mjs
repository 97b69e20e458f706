// Faults in a page end the program with the report the same fault gets natively: on the page in place of
// the canvas, with the signal's error number.
//   ZOPP_ENGINE=<engine> node fault_e2e.mjs <folder with zopp.js and zopp.wasm of fault_probe>
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import test from 'node:test';

import { launch } from '../../harness/web/engines.mjs';
import { ENGINE, sleep } from '../../harness/web/page_harness.mjs';
import { instrumented, serveFolder } from '../../harness/web/site.mjs';

const reports = {
    divide: '\r\nAborting due to runtime error 11 ("floating point error" signal)\r\n\r\n',
    memory: '\r\nAborting due to runtime error 12 ("segmentation violation" signal)\r\n\r\n',
    unreachable: '\r\nAborting due to runtime error 10 ("illegal instruction" signal)\r\n\r\n',
    abort: '\r\nAborting due to runtime error 14 ("abnormal termination" signal)\r\n\r\n',
};

test(`every fault shows its report in place of the canvas in ${ENGINE}`, async () => {
    const site = mkdtempSync(join(tmpdir(), 'zopp-web-faults-'));
    cpSync(process.argv[2], site, { recursive: true });
    writeFileSync(join(site, 'index.html'), instrumented(
        '<!doctype html><html><head></head><canvas id="screen"></canvas><script>var Module = {};</script><script src="zopp.js"></script>'));
    const server = await serveFolder(site);
    const browser = await launch(ENGINE);
    try {
        const page = await browser.newPage();
        for (const [fault, expected] of Object.entries(reports)) {
            await page.open(`${server.url}index.html?fault=${fault}`);
            let report = null;
            for (const end = Date.now() + 10000; report === null && Date.now() < end; await sleep(10)) {
                report = await page.evaluate(`document.getElementById('report')?.textContent ?? null`);
            }
            assert.equal(report, expected, fault);
            assert.ok(await page.evaluate(`document.getElementById('screen') === null`), `${fault}: the canvas is still there`);
            assert.deepEqual(await page.errors(), [], fault);
        }
    } finally {
        server.close();
        await browser.close();
        rmSync(site, { recursive: true, force: true });
    }
});
