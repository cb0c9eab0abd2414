// The update tick, run once per GUI frame by the updater window: shows the
// overall status when it is due, then lets the engine poll its jobs. It
// never waits: the engine asks the jobs without blocking.
#pragma once

class CUpdaterFrame;

void UpdateTick(CUpdaterFrame& frame);
