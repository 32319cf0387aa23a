// The process-wide request to end the running program: raised by SIGINT or SIGTERM (or by any
// thread), seen by the run loop and by every blocking wait. The wait descriptor becomes readable
// once the request is raised and stays so until it is cleared, so a wait can poll it beside its
// own descriptor.
#pragma once

namespace tx::end_request {

// Async-signal-safe: an atomic store and a write to the wait descriptor. `signal` is the signal
// that asked (0 for none).
void raise(int signal);
bool raised();
// The signal that raised the request, 0 when none did.
int signalNumber();
// Readable once the request is raised; -1 when no descriptor could be made (waits then rely on
// raised() and their own time-outs).
int waitFd();
// Forgets the request (before another run in the same process).
void clear();

// Turns the first SIGINT and the first SIGTERM into a request; a second one of the same kind
// acts as it would without a handler (ends the process at once).
void installSignalHandlers();

// Waits up to `milliseconds` (negative: without a bound) for the request; true when it is
// raised.
bool waitFor(int milliseconds);

}  // namespace tx::end_request
