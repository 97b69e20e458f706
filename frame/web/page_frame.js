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
