// A program built for node sees only Emscripten's default environment; the test runner's marker of an
// unfinished run (TEST_PREMATURE_EXIT_FILE) is passed on so that GoogleTest can keep it.
Module['preRun'] = [].concat(Module['preRun'] || [], () => {
  if (process.env.TEST_PREMATURE_EXIT_FILE) ENV.TEST_PREMATURE_EXIT_FILE = process.env.TEST_PREMATURE_EXIT_FILE;
});
