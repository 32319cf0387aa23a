// SDL events for tests above the host layer, which see no SDL header.
#pragma once

namespace tx::test {

// Pushes SDL's quit event (what a session or the window manager sends) from any thread; false
// when SDL's event queue is not running.
bool pushSdlQuit();

}  // namespace tx::test
