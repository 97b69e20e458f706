// The frame's side in the page's JavaScript: sleeping, the clock's origin, the report on the page and
// faults. Each function is called from the frame's C++ file of the same concern.
mergeInto(LibraryManager.library, {
  // sleep.cpp. Asyncify unwinds the program's stack to the browser and rewinds it when the sleep ends.
  // The resumed program runs as one of the page's callbacks, so its end (the exit sequence stops it by
  // throwing) is taken as the end and not reported as an error. At least ms; then, when idleMs > 0 and
  // no input came meanwhile, until input comes or idleMs pass. Module.zoppWakeProgram() tells of input.
  zoppSleepInPage__deps: ['$callUserCallback'],
  zoppSleepInPage: function(ms, idleMs) {
    if (!Module['zoppWakeProgram']) {
      var state = Module['zoppSleep'] = { inputArrived: false, endIdle: null };
      Module['zoppWakeProgram'] = function() {
        state.inputArrived = true;
        if (state.endIdle) state.endIdle();
      };
    }
    var sleep = Module['zoppSleep'];
    Asyncify.handleSleep(function(wakeUp) {
      var resumed = false;
      var resume = function() {
        if (resumed) return;
        resumed = true;
        sleep.endIdle = null;
        sleep.inputArrived = false;
        callUserCallback(wakeUp);
      };
      setTimeout(function() {
        if (sleep.inputArrived || idleMs <= 0) {
          resume();
          return;
        }
        sleep.endIdle = resume;
        setTimeout(resume, idleMs);
      }, ms);
    });
  },

  // kept_value.cpp: one key of the site's storage, written whole and synchronously (an asynchronous store
  // could be left half-written by a killed tab), as base64 text. Storage that is missing or refuses
  // (private modes throw on every write) is said once on the console; the page then plays without keeping.
  // The latest value is written again when the page is hidden, unless that very value is stored already. Module.onKeptValue(bytes, inProgress), if
  // the page set one, hears of every value.
  $ZoppKept: {
    key: 'zopp-game',
    latest: null,
    stored: null,
    read: null,
    broken: false,
    storage: function() {
      if (ZoppKept.broken || typeof window !== 'object') return null;
      try {
        if (window.localStorage) return window.localStorage;
        throw new Error('the browser offers no storage');
      } catch (error) {
        ZoppKept.fail(error);
        return null;
      }
    },
    fail: function(error) {
      ZoppKept.broken = true;
      console.warn('ZOPP: the game is not kept: ' + error.message);
    },
    store: function() {
      var storage = ZoppKept.storage();
      if (!storage || ZoppKept.latest === null || ZoppKept.latest === ZoppKept.stored) return;
      try {
        storage.setItem(ZoppKept.key, ZoppKept.latest);
        ZoppKept.stored = ZoppKept.latest;
      } catch (error) {
        ZoppKept.fail(error);
      }
    },
  },
  zoppReadKeptValue__deps: ['$ZoppKept'],
  zoppReadKeptValue: function() {
    if (typeof document === 'object') {
      document.addEventListener('visibilitychange', function() {
        if (document.visibilityState === 'hidden') ZoppKept.store();
      });
      window.addEventListener('pagehide', ZoppKept.store);
    }
    var storage = ZoppKept.storage(), text = null;
    if (!storage) return 0;
    try {
      text = storage.getItem(ZoppKept.key);
    } catch (error) {
      ZoppKept.fail(error);
    }
    if (text === null) return 0;
    try {
      var binary = atob(text);
      ZoppKept.read = Uint8Array.from(binary, function(c) { return c.charCodeAt(0); });
    } catch (error) {
      console.warn('ZOPP: the kept game is not readable: ' + error.message);
      return 0;
    }
    return ZoppKept.read.length;
  },
  zoppCopyKeptValue__deps: ['$ZoppKept'],
  zoppCopyKeptValue: function(into) {
    HEAPU8.set(ZoppKept.read, into);
    ZoppKept.read = null;
  },
  zoppWriteKeptValue__deps: ['$ZoppKept'],
  zoppWriteKeptValue: function(value, size, inProgress) {
    var bytes = HEAPU8.slice(value, value + size), binary = '';
    for (var i = 0; i < bytes.length; i += 0x8000) {
      binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    ZoppKept.latest = btoa(binary);
    ZoppKept.store();
    if (Module['onKeptValue']) Module['onKeptValue'](bytes, inProgress !== 0);
  },

  zoppSayKeptValueRejected: function(why, length) {
    console.warn('ZOPP: the kept game was not restored: ' + UTF8ToString(why, length));
  },

  // clock.cpp: the page's absolute time origin, in milliseconds since 1970.
  zoppPageTimeOriginMs: function() {
    return performance.timeOrigin;
  },

  // process_end.cpp: the report, unchanged, on the console and in place of the canvas; under node (the
  // tests) on standard error.
  zoppShowReport: function(text, length) {
    var report = UTF8ToString(text, length);
    if (typeof process === 'object' && process.stderr) {
      process.stderr.write(report);
      return;
    }
    console.error(report);
    var shown = document.createElement('pre');
    shown.id = 'report';
    shown.textContent = report;
    var canvas = document.getElementById('screen');
    if (canvas) {
      canvas.replaceWith(shown);
    } else {
      document.body.append(shown);
    }
  },

  // fault_handlers.cpp: what a trap or a stack overflow would have raised natively. Each engine words its
  // traps its own way ("divide by zero", "integer divide by zero", "Division by zero"), so the words are
  // matched whatever their case, and a failed float conversion before any "out of bounds".
  zoppCatchFaults: function(illegal, floating, segmentation, abnormal) {
    if (typeof window === 'undefined') return;
    var numberOf = function(error) {
      if (!error) return 0;
      // A JavaScript stack overflow: a RangeError in most engines, an InternalError in Firefox.
      var overflow = error instanceof RangeError || error.name === 'InternalError';
      if (overflow && /call stack|too much recursion/i.test(error.message)) return segmentation;
      if (!(error instanceof WebAssembly.RuntimeError)) return 0;
      var message = error.message;
      if (/^Aborted/.test(message)) return abnormal;
      if (/unreachable/i.test(message)) return illegal;
      if (/divi(de|sion) by zero|remainder by zero|integer overflow|unrepresentable|invalid conversion|trunc/i
          .test(message)) return floating;
      if (/out of bounds|signature|null function|null table|indirect call/i.test(message)) return segmentation;
      return 0;
    };
    var handle = function(event, error) {
      var number = numberOf(error);
      if (number === 0) return;
      event.preventDefault();
      try {
        _zoppEndProgramAfterFault(number);
      } catch (end) {
        if (!(end instanceof ExitStatus)) throw end;  // the program's end, as intended
      }
    };
    window.addEventListener('error', function(event) { handle(event, event.error); });
    window.addEventListener('unhandledrejection', function(event) { handle(event, event.reason); });
  },
});
