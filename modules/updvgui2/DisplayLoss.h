// When the connection to the X server breaks (the server ended, the session
// was closed), Xlib ends the process with exit(). Static destructors then
// run, and tearing windows down over the dead connection makes Xlib wait
// forever, spinning on a core. The watch records the loss before the exit
// so that native teardown can be skipped; the process then ends with status
// 1 as it would have, after every other destructor (a running update job is
// still waited for).
#pragma once

// Installs the watch; call once SDL's X11 driver has opened the display.
// Does nothing when the X library is not loaded.
void WatchForDisplayLoss();

// True once the display connection was lost.
bool DisplayLost();
