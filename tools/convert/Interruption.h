#pragma once

// Ctrl+C, a hang-up or a termination asked of the batch: noted by a signal handler, so that the
// batch can end its workers (whose unfinished outputs then leave nothing behind), say what was
// done, and end by the same signal, as a shell expects of a program it interrupted.
namespace Interruption {

// Catches SIGINT, SIGTERM and SIGHUP from now on.
void catchSignals();
// A descriptor that becomes readable once a signal came, for poll().
int descriptor();
// The signal that came, 0 while none did.
int signal();
// Ends the process by the signal that came, as if it had not been caught.
[[noreturn]] void endBySignal();

} // namespace Interruption
