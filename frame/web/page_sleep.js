// The program's sleep in a page (sleep.cpp): Asyncify unwinds the program's stack to the browser and
// rewinds it when the sleep ends. The resumed program runs as one of the page's callbacks, so its end
// (the exit sequence stops it by throwing) is taken as the end and not reported as an error.
mergeInto(LibraryManager.library, {
  // At least ms; then, when idleMs > 0 and no input came meanwhile, until input comes or idleMs pass.
  // Module.zoppWakeProgram() tells of input.
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
});
