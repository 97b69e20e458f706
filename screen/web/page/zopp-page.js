// The page around the program, run at the start of the program's script (its pre-js, where Module is the
// program's): the pictures unpacked into its file system before it starts, the board fitted to the
// window, what the page does while a game is in progress, and the worker that keeps the page for offline
// play.
(function() {
    'use strict';

    // The program's code and the pictures travel gzipped (pack-program, pack-pictures). A server that
    // marks a file gzip-encoded has the browser unpack it already; otherwise the page does, while it
    // arrives, with the browser's own decompression. Either way the result is what the file holds.
    function unpacked(response, type) {
        if (!response.ok) throw new Error(response.url + ': ' + response.status);
        var reader = response.body.getReader();
        return reader.read().then(function(first) {
            var body = new ReadableStream({
                start: function(out) { if (first.done) out.close(); else out.enqueue(first.value); },
                pull: function(out) {
                    return reader.read().then(function(next) { if (next.done) out.close(); else out.enqueue(next.value); });
                },
            });
            var gzipped = !first.done && first.value[0] === 0x1f && first.value[1] === 0x8b;
            return new Response(gzipped ? body.pipeThrough(new DecompressionStream('gzip')) : body,
                                { headers: { 'Content-Type': type } });
        });
    }
    function tarEntries(archive) {
        var bytes = new Uint8Array(archive), text = new TextDecoder(), entries = [];
        for (var at = 0; at + 512 <= bytes.length && bytes[at] !== 0;) {
            var name = text.decode(bytes.subarray(at, at + 100)).replace(/\0[^]*$/, '');
            var size = parseInt(text.decode(bytes.subarray(at + 124, at + 136)), 8);
            entries.push({ name: name, data: bytes.subarray(at + 512, at + 512 + size) });
            at += 512 + Math.ceil(size / 512) * 512;
        }
        return entries;
    }
    var pictures = window.zoppFetches.pictures.then(function(response) {
        return unpacked(response, 'application/x-tar');
    }).then(function(tar) { return tar.arrayBuffer(); }).then(tarEntries);

    // The program starts once the pictures are in place. Without them it starts all the same and reports
    // the first picture it cannot read, as it does without its dat folder.
    Object.assign(Module, {
        // The program from the request the page made at its start, compiled while it arrives.
        instantiateWasm: function(imports, receive) {
            window.zoppFetches.program.then(function(response) {
                return WebAssembly.instantiateStreaming(unpacked(response, 'application/wasm'), imports);
            }).then(function(result) {
                receive(result.instance, result.module);
            }, function(error) {
                console.error('ZOPP: the program did not load: ' + error.message);
            });
            return {};
        },
        preRun: [function() {
            Module.addRunDependency('pictures');
            pictures.then(function(entries) {
                entries.forEach(function(entry) {
                    Module.FS.mkdirTree(entry.name.replace(/\/?[^/]*$/, '') || '.');
                    Module.FS.writeFile(entry.name, entry.data);
                });
            }).catch(function(error) {
                console.warn('ZOPP: the pictures did not load: ' + error.message);
            }).then(function() {
                Module.removeRunDependency('pictures');
            });
        }],
    });

    var page = document.getElementById('page'), board = document.getElementById('board');

    // The browser's own scale rule, a second one on purpose beside the desktops' (window_scale.h): a desktop
    // window is made for the board at the desktop's scale, while a page has the space the browser gives it
    // and fills it. Device pixels per canvas pixel in a space of width × height CSS pixels: a whole number
    // when that shows the board at its natural size (one CSS pixel per canvas pixel) or larger, so that
    // every canvas pixel is a block of the same size; on smaller screens as large as fits.
    function browserScale(width, height, canvas) {
        var ratio = window.devicePixelRatio || 1;
        var largest = Math.min(width * ratio / canvas.width, height * ratio / canvas.height);
        var whole = Math.floor(largest);
        return whole >= ratio ? whole : largest;
    }
    // The heading and the links beside the board or above and below it, whichever leaves the board larger.
    // Where neither gives it the size the whole window would (whole numbers) or 90 % of it, they go below
    // a board that fills the window.
    function arrange(canvas) {
        var root = document.documentElement;
        var target = browserScale(root.clientWidth, root.clientHeight, canvas);
        var best = { scale: 0 };
        board.style.width = board.style.height = '';
        ['beside', 'above'].forEach(function(arrangement) {
            page.className = arrangement;
            var scale = browserScale(board.clientWidth, board.clientHeight, canvas);
            if (scale > best.scale) best = { arrangement: arrangement, scale: scale };
        });
        var enough = target % 1 === 0 ? best.scale >= target : best.scale >= 0.9 * target;
        page.className = enough ? best.arrangement : 'below';
        if (!enough) board.style.height = root.clientHeight + 'px';
    }
    // Size and place in whole device pixels, centred in the board's space; on whole CSS pixels too where
    // the device pixel ratio allows, as screenshots and some compositors round there. The board's space
    // then shrinks to the board where the heading and the links are to gather around it.
    function fit() {
        var canvas = document.getElementById('screen');
        if (!canvas) return;
        // The board's controls (zopp-mirror.js) lie exactly over the canvas.
        var boxes = [canvas.style, document.getElementById('mirror').style];
        // The space is measured without the canvas: at its earlier size and place it may reach past the
        // window, and the scroll bars that brings would take their room from the measure.
        boxes.forEach(function(box) { box.width = box.height = box.left = box.top = '0'; });
        arrange(canvas);
        var scale = browserScale(board.clientWidth, board.clientHeight, canvas), ratio = window.devicePixelRatio || 1;
        var width = Math.floor(canvas.width * scale), height = Math.floor(canvas.height * scale);
        if (page.className !== 'below') {
            board.style.height = height / ratio + 'px';
            if (page.className === 'beside') board.style.width = width / ratio + 'px';
            page.classList.add('placed');
        }
        var space = board.getBoundingClientRect();
        var left = Math.round(space.left + window.scrollX + (space.width - width / ratio) / 2);
        var top = Math.round(space.top + window.scrollY + (space.height - height / ratio) / 2);
        boxes.forEach(function(box) {
            box.width = width / ratio + 'px';
            box.height = height / ratio + 'px';
            box.left = Math.round(left * ratio) / ratio + 'px';
            box.top = Math.round(top * ratio) / ratio + 'px';
        });
    }
    // Zooming changes the device pixel ratio; so does moving the window to another display.
    function watchRatio() {
        matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)').addEventListener('change', function() {
            fit();
            watchRatio();
        }, { once: true });
    }
    fit();
    watchRatio();
    window.addEventListener('resize', fit);

    // While a game is in progress (the program keeps it in the site's storage after every change): the
    // control to leave it, the screen kept awake at the table, and the storage kept through the browser's
    // clean-ups (asked once).
    var leave = document.getElementById('leave'), leaveDialog = document.getElementById('leave-dialog');
    var playing = false, wakeLock = null, askingToStayAwake = false, persistenceAsked = false;
    function stayAwake() {
        if (!playing || document.hidden || wakeLock || askingToStayAwake || !navigator.wakeLock) return;
        askingToStayAwake = true;
        navigator.wakeLock.request('screen').then(function(lock) {
            askingToStayAwake = false;
            wakeLock = lock;
            lock.addEventListener('release', function() { if (wakeLock === lock) wakeLock = null; });
            if (!playing || document.hidden) letSleep();
        }, function() { askingToStayAwake = false; });
    }
    function letSleep() {
        if (wakeLock) wakeLock.release().catch(function() {});
        wakeLock = null;
    }
    Module.onKeptValue = function(value, inProgress) {
        Module.zoppShowOnMirror(value);
        playing = inProgress;
        leave.classList.toggle('idle', !inProgress);
        if (inProgress) {
            stayAwake();
            if (!persistenceAsked && navigator.storage && navigator.storage.persist) {
                persistenceAsked = true;
                navigator.storage.persist().catch(function() {});
            }
        } else {
            letSleep();
        }
    };
    document.addEventListener('visibilitychange', function() {
        if (document.hidden) letSleep(); else stayAwake();
    });
    leave.addEventListener('click', function() {
        leaveDialog.returnValue = '';
        leaveDialog.showModal();
    });
    leaveDialog.addEventListener('close', function() {
        if (leaveDialog.returnValue !== 'leave' || !playing) return;
        _zoppLeaveGame();
        if (Module.zoppWakeProgram) Module.zoppWakeProgram();
    });

    if ('serviceWorker' in navigator) {
        window.addEventListener('load', function() {
            navigator.serviceWorker.register('sw.js').catch(function(error) {
                console.warn('ZOPP: no offline play: ' + error.message);
            });
        });
    }
})();
