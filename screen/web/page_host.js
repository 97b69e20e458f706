// The page side of the browser back-end (web_backend.cpp): the canvas, the page's title, the input
// listeners and the beep's tone. A listener queues one record per browser event (the PageEvent codes of page_input.h), runs
// the refresh step at once so the record reaches the event queue, and wakes the sleeping program.
// Positions are canvas pixels, through the canvas's box on the page whatever its size there; desktop
// positions are the event's screen ones.
mergeInto(LibraryManager.library, {
  $ZoppPage: {
    canvas: null,
    context: null,
    queue: [],
    listeners: [],
    capturing: false,
    mousePointer: null,  // the pointer id of the latest press on the canvas, when a mouse made it
    pointerOver: false,  // where the latest mouse event put the pointer, as the page tells it
    buttonsPressed: 0,  // buttons that went down on the canvas and are still held
    touch: null,        // the finger being followed: {id, x, y}

    // KeyboardEvent.code, the key's place on the keyboard whatever the layout, as a HID keyboard usage.
    hidUsages: (function() {
      var usages = {};
      var add = function(first, names) {
        names.forEach(function(name, i) { if (name) usages[name] = first + i; });
      };
      add(0x04, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'.split('').map(function(letter) { return 'Key' + letter; }));
      add(0x1E, '1234567890'.split('').map(function(digit) { return 'Digit' + digit; }));
      add(0x28, ['Enter', 'Escape', 'Backspace', 'Tab', 'Space', 'Minus', 'Equal', 'BracketLeft',
                 'BracketRight', 'Backslash', null, 'Semicolon', 'Quote', 'Backquote', 'Comma', 'Period',
                 'Slash', 'CapsLock']);
      add(0x3A, ['F1', 'F2', 'F3', 'F4', 'F5', 'F6', 'F7', 'F8', 'F9', 'F10', 'F11', 'F12', 'PrintScreen',
                 'ScrollLock', 'Pause', 'Insert', 'Home', 'PageUp', 'Delete', 'End', 'PageDown', 'ArrowRight',
                 'ArrowLeft', 'ArrowDown', 'ArrowUp', 'NumLock', 'NumpadDivide', 'NumpadMultiply',
                 'NumpadSubtract', 'NumpadAdd', 'NumpadEnter']);
      add(0x59, '1234567890'.split('').map(function(digit) { return 'Numpad' + digit; }));
      add(0x63, ['NumpadDecimal', 'IntlBackslash', 'ContextMenu']);
      add(0xE0, ['ControlLeft', 'ShiftLeft', 'AltLeft', 'MetaLeft', 'ControlRight', 'ShiftRight', 'AltRight',
                 'MetaRight']);
      return usages;
    })(),
    // The character the key produced, as the layout made it (below 256), or 0: Ctrl with a letter gives
    // 1 to 26, and the four named keys with a character of their own give theirs.
    keyCharacter: function(event) {
      var key = event.key;
      if (key.length === 1) {
        if (event.ctrlKey && /^[a-z]$/i.test(key)) return key.charCodeAt(0) & 0x1F;
        return key.charCodeAt(0) < 256 ? key.charCodeAt(0) : 0;
      }
      return { Enter: 13, Backspace: 8, Tab: 9, Escape: 27 }[key] || 0;
    },

    // Mouse buttons as the program numbers them (left 1, right 2, middle 4, back 8, forward 16) from the
    // browser's order: left, middle, right, back, forward.
    buttonCode: function(button) {
      return [1, 4, 2, 8, 16][button] || 0;
    },
    canvasPoint: function(event) {
      var canvas = ZoppPage.canvas, box = canvas.getBoundingClientRect();
      return {
        x: Math.floor((event.clientX - box.left) * canvas.width / box.width),
        y: Math.floor((event.clientY - box.top) * canvas.height / box.height),
      };
    },
    post: function(kind, a, b, c, d) {
      ZoppPage.queue.push([kind, a | 0, b | 0, c | 0, d | 0]);
      _zoppPageInputArrived();
      if (Module['zoppWakeProgram']) Module['zoppWakeProgram']();
    },
    activation: function() {
      ZoppPage.post(6, document.hasFocus() ? 1 : 0, document.hidden ? 1 : 0, ZoppPage.pointerOver ? 1 : 0);
    },
    listen: function(target, type, handler, options) {
      target.addEventListener(type, handler, options);
      ZoppPage.listeners.push([target, type, handler, options]);
    },

    inside: function(point) {
      var canvas = ZoppPage.canvas;
      return point.x >= 0 && point.y >= 0 && point.x < canvas.width && point.y < canvas.height;
    },
    // The pointer has left when a mouse event finds it outside the canvas, whatever the event is called:
    // engines fire leaves and enters around the pointer's capture while it stays over the canvas. While
    // the capture holds, the pointer belongs to the canvas wherever it is; its release decides.
    followPointer: function(event) {
      var over = ZoppPage.inside(ZoppPage.canvasPoint(event));
      if (ZoppPage.capturing || over === ZoppPage.pointerOver) return;
      ZoppPage.pointerOver = over;
      if (!over) ZoppPage.post(4);
    },
    onMouseMove: function(event) {
      var point = ZoppPage.canvasPoint(event);
      if (ZoppPage.inside(point) || ZoppPage.capturing) ZoppPage.post(1, point.x, point.y, event.screenX, event.screenY);
      ZoppPage.followPointer(event);
    },
    onKey: function(event) {
      // Alt and F10 would take the keyboard to the browser's own menu; the program consumes them.
      if (event.code === 'AltLeft' || event.code === 'AltRight' || event.code === 'F10') event.preventDefault();
      var modifiers = (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0);
      var usage = ZoppPage.hidUsages[event.code] || 0, character = ZoppPage.keyCharacter(event);
      if (event.type === 'keydown') {
        ZoppPage.post(8, usage, character, modifiers, event.repeat ? 1 : 0);
      } else {
        ZoppPage.post(9, usage, character, modifiers);
      }
    },
    // The pointer the capture the program asks for at a press will hold; a finger's taps need none.
    onPointerDown: function(event) {
      ZoppPage.mousePointer = event.pointerType === 'mouse' ? event.pointerId : null;
    },
    onMouseDown: function(event) {
      var code = ZoppPage.buttonCode(event.button);
      if (!code) return;
      ZoppPage.buttonsPressed |= code;
      // Its time and place: the program counts the presses that make a double click by its own rule.
      var point = ZoppPage.canvasPoint(event);
      ZoppPage.post(2, code, Math.round(event.timeStamp), point.x, point.y);
    },
    onMouseUp: function(event) {
      var code = ZoppPage.buttonCode(event.button);
      if (!(ZoppPage.buttonsPressed & code) && event.target !== ZoppPage.canvas) return;
      ZoppPage.buttonsPressed &= ~code;
      ZoppPage.post(3, code);
      ZoppPage.followPointer(event);
    },
    onWheel: function(event) {
      // One step per notification: away from the player (up) and to the right count positive. The page
      // does not scroll under the canvas as well.
      event.preventDefault();
      ZoppPage.post(5, -Math.sign(event.deltaY), Math.sign(event.deltaX));
    },
    // A tap is a finger that goes down and up on the canvas without travelling; anything else is the
    // browser's panning or zooming, which the canvas leaves to it.
    onTouchStart: function(event) {
      if (ZoppPage.touch || event.touches.length !== 1) {
        ZoppPage.touch = null;
        return;
      }
      var finger = event.changedTouches[0];
      ZoppPage.touch = { id: finger.identifier, x: finger.clientX, y: finger.clientY };
    },
    onTouchMove: function(event) {
      var touch = ZoppPage.touch;
      for (var i = 0; touch && i < event.changedTouches.length; ++i) {
        var finger = event.changedTouches[i];
        if (finger.identifier === touch.id &&
            Math.hypot(finger.clientX - touch.x, finger.clientY - touch.y) > 10) {
          ZoppPage.touch = null;
        }
      }
    },
    onTouchEnd: function(event) {
      var touch = ZoppPage.touch;
      ZoppPage.touch = null;
      for (var i = 0; touch && i < event.changedTouches.length; ++i) {
        var finger = event.changedTouches[i];
        if (finger.identifier !== touch.id) continue;
        // No mouse events made up from the touch, or the tap would count twice.
        event.preventDefault();
        var point = ZoppPage.canvasPoint(finger);
        ZoppPage.post(7, point.x, point.y, finger.screenX, finger.screenY);
      }
    },
  },

  zoppPageOpen__deps: ['$ZoppPage'],
  zoppPageOpen: function(width, height, title) {
    if (typeof document === 'undefined') return false;
    var canvas = document.getElementById('screen');
    if (!canvas || !canvas.getContext) return false;
    ZoppPage.canvas = canvas;
    ZoppPage.context = canvas.getContext('2d');
    // The page sizes the canvas on the screen; the program only sets its pixels.
    canvas.width = width;
    canvas.height = height;
    canvas.hidden = false;
    document.title = UTF8ToString(title);

    var listen = ZoppPage.listen;
    listen(window, 'mousemove', ZoppPage.onMouseMove);
    listen(canvas, 'mousedown', ZoppPage.onMouseDown);
    listen(window, 'mouseup', ZoppPage.onMouseUp);
    listen(canvas, 'mouseenter', ZoppPage.followPointer);
    listen(canvas, 'mouseleave', ZoppPage.followPointer);
    listen(canvas, 'wheel', ZoppPage.onWheel, { passive: false });
    listen(canvas, 'pointerdown', ZoppPage.onPointerDown);
    listen(window, 'keydown', ZoppPage.onKey);
    listen(window, 'keyup', ZoppPage.onKey);
    listen(canvas, 'contextmenu', function(event) { event.preventDefault(); });
    listen(canvas, 'touchstart', ZoppPage.onTouchStart, { passive: true });
    listen(canvas, 'touchmove', ZoppPage.onTouchMove, { passive: true });
    listen(canvas, 'touchend', ZoppPage.onTouchEnd, { passive: false });
    listen(canvas, 'touchcancel', function() { ZoppPage.touch = null; });
    listen(window, 'focus', ZoppPage.activation);
    listen(window, 'blur', ZoppPage.activation);
    listen(document, 'visibilitychange', ZoppPage.activation);
    return true;
  },

  // The window closes: the canvas goes, and nothing of the page calls the program any more.
  zoppPageClose__deps: ['$ZoppPage'],
  zoppPageClose: function() {
    ZoppPage.listeners.forEach(function(entry) {
      entry[0].removeEventListener(entry[1], entry[2], entry[3]);
    });
    ZoppPage.listeners = [];
    ZoppPage.queue = [];
    ZoppPage.canvas.hidden = true;
  },

  zoppPageTitle__deps: ['$ZoppPage'],
  zoppPageTitle: function(title) {
    document.title = UTF8ToString(title);
  },

  zoppPagePut__deps: ['$ZoppPage'],
  zoppPagePut: function(rgba, top, width, height) {
    var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    ZoppPage.context.putImageData(new ImageData(pixels, width, height), 0, top);
  },

  // Moves up to `capacity` queued records (five 32-bit values each) to `records`; returns how many.
  zoppPageTakeInput__deps: ['$ZoppPage'],
  zoppPageTakeInput: function(records, capacity) {
    var taken = ZoppPage.queue.splice(0, capacity);
    for (var i = 0; i < taken.length; ++i) HEAP32.set(taken[i], (records >> 2) + i * 5);
    return taken.length;
  },

  zoppPageCapture__deps: ['$ZoppPage'],
  // While the capture holds, the pointer's events keep coming, also from outside the browser's window.
  zoppPageCapture: function(enabled) {
    ZoppPage.capturing = enabled;
    var canvas = ZoppPage.canvas, pointer = ZoppPage.mousePointer;
    if (pointer === null) return;
    if (enabled) {
      canvas.setPointerCapture(pointer);
    } else if (canvas.hasPointerCapture(pointer)) {
      canvas.releasePointerCapture(pointer);
    }
  },

  // page_tone.cpp: the beep's sound. Browsers let a page's audio start only inside an interaction's own
  // handler; once it has run, the page may resume it at any time. A running audio costs the browser a few
  // per cent of a core even in silence, so it runs only while a tone plays. The frame makes the tone's
  // samples at the audio's rate, and the page only plays them.
  $ZoppTone: {
    allowed: false,  // the audio ran once, so it may be resumed from now on
    playing: 0,      // tones started and not yet ended
    quiet: function() {
      if (ZoppTone.playing === 0) Module['zoppAudio'].suspend();
    },
  },
  zoppListenForFirstInteraction__deps: ['$ZoppTone'],
  zoppListenForFirstInteraction: function() {
    if (typeof window === 'undefined' || Module['zoppAudio'] !== undefined) return;
    Module['zoppAudio'] = null;
    var unlock = function() {
      var AudioContextType = window.AudioContext || window.webkitAudioContext;
      if (ZoppTone.allowed || !AudioContextType) return;
      if (!Module['zoppAudio']) Module['zoppAudio'] = new AudioContextType();
      Module['zoppAudio'].resume().then(function() {
        ZoppTone.allowed = true;
        ZoppTone.quiet();
      });
      // Without a sound device a resume may never end while the audio runs on: it is quieted anyway.
      setTimeout(ZoppTone.quiet, 1000);
    };
    ['pointerdown', 'touchend', 'keydown'].forEach(function(type) {
      window.addEventListener(type, unlock, true);
    });
  },
  // The rate to make the samples at; 0 while the audio cannot play.
  zoppToneSampleRate__deps: ['$ZoppTone'],
  zoppToneSampleRate: function() {
    return ZoppTone.allowed ? Math.round(Module['zoppAudio'].sampleRate) : 0;
  },
  // Plays `count` signed 16-bit samples at `samples`, made at `sampleRate`.
  zoppStartSamples__deps: ['$ZoppTone'],
  zoppStartSamples: function(samples, count, sampleRate) {
    var audio = Module['zoppAudio'];
    if (!ZoppTone.allowed) return;
    var buffer = audio.createBuffer(1, count, sampleRate), channel = buffer.getChannelData(0);
    for (var i = 0; i < count; ++i) channel[i] = HEAP16[(samples >> 1) + i] / 32768;
    var source = audio.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.destination);
    source.onended = function() {
      --ZoppTone.playing;
      ZoppTone.quiet();
    };
    ++ZoppTone.playing;
    audio.resume();
    source.start();
  },
});
