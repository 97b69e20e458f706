// The pages the browser tests visit: a folder served as any static host would (python3's http.server, no
// special headers), after a copy whose pages carry instrument.js at the top of their head.
import { spawn } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { connect, createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const INSTRUMENT = readFileSync(join(dirname(fileURLToPath(import.meta.url)), 'instrument.js'), 'utf8');

// A page's text with the instrument running before anything of its own.
export function instrumented(html, extra = '') {
    const script = `<script>${INSTRUMENT}${extra}</script>`;
    return /<head>/i.test(html) ? html.replace(/<head>/i, match => match + script) : script + html;
}

// A copy of the folder in a new temporary one; remove() deletes it.
export function plainCopy(folder) {
    const copy = mkdtempSync(join(tmpdir(), 'zopp-web-site-'));
    cpSync(folder, copy, { recursive: true });
    return { folder: copy, remove: () => rmSync(copy, { recursive: true, force: true }) };
}

// Such a copy with each .html instrumented.
export function instrumentedCopy(folder, extra = '') {
    const copy = plainCopy(folder);
    for (const name of readdirSync(copy.folder).filter(name => name.endsWith('.html'))) {
        writeFileSync(join(copy.folder, name), instrumented(readFileSync(join(copy.folder, name), 'utf8'), extra));
    }
    return copy;
}

// Serves the folder on a free port of the loopback: server.url, server.close(), and server.closed, which
// settles once it has ended. With countBytes, a proxy in front counts every byte the server sends,
// headers included: server.bytesSent(), and server.responses(), each { path, status, bytes }.
export async function serveFolder(folder, { countBytes = false } = {}) {
    const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', folder],
                         { stdio: ['ignore', 'pipe', 'ignore'] });
    const kill = () => server.kill();
    process.on('exit', kill);  // also when a test ends by an error
    const closed = new Promise(resolve => server.on('exit', resolve));
    closed.then(() => process.off('exit', kill));
    const port = await new Promise((resolve, reject) => {
        let seen = '';
        server.stdout.on('data', chunk => {
            seen += chunk;
            const match = seen.match(/port (\d+)/);
            if (match) resolve(Number(match[1]));
        });
        server.on('exit', code => reject(new Error(`http.server ended with ${code}: ${seen}`)));
    });
    if (!countBytes) return { url: `http://127.0.0.1:${port}/`, close: () => server.kill(), closed };

    // The server answers one request per connection: each connection is one response.
    const responses = [];
    const proxy = createServer(client => {
        const response = { path: null, status: null, bytes: 0 };
        responses.push(response);
        const upstream = connect(port, '127.0.0.1');
        client.once('data', chunk => { response.path = String(chunk).split(' ')[1]; });
        upstream.once('data', chunk => { response.status = Number(String(chunk).split(' ')[1]); });
        upstream.on('data', chunk => { response.bytes += chunk.length; });
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
        bytesSent: () => responses.reduce((sum, response) => sum + response.bytes, 0),
        responses: () => responses,
    };
}
