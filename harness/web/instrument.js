// Runs first in every page the browser tests serve (site.mjs puts it at the top of each page's head), the
// same in every engine: what the page writes to the console and what it throws, every tone it starts, and
// a digest of the canvas.
(function() {
    'use strict';
    window.zoppConsole = [];
    window.zoppErrors = [];
    ['log', 'info', 'warn', 'error'].forEach(function(type) {
        var write = console[type];
        console[type] = function() {
            window.zoppConsole.push({ type: type, text: Array.prototype.map.call(arguments, String).join(' ') });
            return write.apply(console, arguments);
        };
    });
    // What the page left unhandled: its own handlers, which run after these, may take an error on.
    function unhandled(what) {
        return function(event) {
            setTimeout(function() {
                if (!event.defaultPrevented) window.zoppErrors.push(String(event[what]));
            });
        };
    }
    window.addEventListener('error', unhandled('message'));
    window.addEventListener('unhandledrejection', unhandled('reason'));

    // Every tone, with its frequency and length as measured in the samples it plays. A browser without a
    // sound device, or too busy to open one in time, never resumes its audio, where the page starts no
    // tone: here a resume always succeeds.
    window.zoppTones = [];
    var Audio = window.AudioContext || window.webkitAudioContext;
    if (Audio) {
        var resume = Audio.prototype.resume;
        Audio.prototype.resume = function() {
            resume.call(this);
            return Promise.resolve();
        };
        var createBufferSource = Audio.prototype.createBufferSource;
        Audio.prototype.createBufferSource = function() {
            var source = createBufferSource.call(this), start = source.start;
            source.start = function() {
                var buffer = source.buffer, samples = buffer.getChannelData(0), seconds = buffer.duration;
                var rises = 0;
                for (var i = 1; i < samples.length; ++i) {
                    if (samples[i - 1] < 0 && samples[i] >= 0) ++rises;
                }
                window.zoppTones.push({
                    hz: Math.round(rises / seconds),
                    seconds: Math.round(seconds * 1000) / 1000,
                });
                return start.apply(this, arguments);
            };
            return source;
        };
    }

    // FNV-1a over the canvas's colours; null while there is no canvas to see.
    window.zoppCanvasDigest = function() {
        var canvas = document.getElementById('screen');
        if (!canvas || canvas.hidden) return null;
        var data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        var digest = 0x811c9dc5;
        for (var i = 0; i < data.length; i += 4) {
            digest = Math.imul(digest ^ data[i], 16777619);
            digest = Math.imul(digest ^ data[i + 1], 16777619);
            digest = Math.imul(digest ^ data[i + 2], 16777619);
        }
        return (digest >>> 0).toString(16).padStart(8, '0');
    };

    // The canvas's place on the first frame the page shows, before anything could have moved it.
    window.zoppFirstFrame = null;
    requestAnimationFrame(function look() {
        var page = document.getElementById('page'), canvas = document.getElementById('screen');
        if (!page || !page.className || !canvas) return requestAnimationFrame(look);
        var box = canvas.getBoundingClientRect();
        window.zoppFirstFrame = { left: box.left, top: box.top, width: box.width, height: box.height };
    });
})();
