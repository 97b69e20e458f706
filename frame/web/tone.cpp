#include "frame/web/tone.h"

#include <emscripten.h>

namespace zopp::web {

namespace {

EM_JS(void, listenForFirstInteraction, (), {
    if (typeof window === 'undefined' || Module.zoppAudio !== undefined) return;
    Module.zoppAudio = null;
    // Created (or resumed) inside the interaction's own handler, where browsers allow it.
    const unlock = () => {
        const AudioContextType = window.AudioContext || window.webkitAudioContext;
        if (!Module.zoppAudio && AudioContextType) Module.zoppAudio = new AudioContextType();
        if (Module.zoppAudio && Module.zoppAudio.state === 'suspended') Module.zoppAudio.resume();
    };
    for (const type of ['pointerdown', 'touchend', 'keydown']) window.addEventListener(type, unlock, true);
});

// Edges of 5 ms, so the tone neither starts nor stops with a click.
EM_JS(void, startTone, (int hz, int ms, double amplitude, double edgeSeconds), {
    const audio = Module.zoppAudio;
    if (!audio || audio.state !== 'running') return;
    const start = audio.currentTime, end = start + ms / 1000;
    const tone = audio.createOscillator(), volume = audio.createGain();
    tone.frequency.value = hz;
    volume.gain.setValueAtTime(0, start);
    volume.gain.linearRampToValueAtTime(amplitude, start + edgeSeconds);
    volume.gain.setValueAtTime(amplitude, end - edgeSeconds);
    volume.gain.linearRampToValueAtTime(0, end);
    tone.connect(volume).connect(audio.destination);
    tone.start(start);
    tone.stop(end);
});

}  // namespace

void armTone() {
    listenForFirstInteraction();
}

void playTone(std::int32_t hz, std::int32_t ms) {
    if (ms > 0) startTone(hz, ms, 0.3, 0.005);
}

}  // namespace zopp::web
