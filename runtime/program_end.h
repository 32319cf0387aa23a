// The request to end the program (a signal, or the end of the run) as the library modules see
// it: a flag, and a descriptor a blocking wait polls beside its own so it ends at once.
#pragma once

namespace tx {

bool programEndRequested();
// Readable once the end is requested; -1 when there is none (waits keep their own time-outs).
int programEndFd();

}  // namespace tx
