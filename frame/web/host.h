// What the frame offers the page's one-thread host (the screen's browser back-end).
//
// In the page, JavaScript may call Module.zoppWakeProgram() once it has put new input into the event
// queue: a sleeping program then resumes as soon as its sleep's own time is over.
#pragma once

namespace zopp::web {

// Runs right before each of the program's sleeps hands the thread to the browser: the host presents
// what the program drew since, so the page shows it while the program sleeps. nullptr: nothing.
void setBeforeSleepHook(void (*hook)());

}  // namespace zopp::web
