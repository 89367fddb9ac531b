#pragma once

// SIGTERM, SIGINT and SIGHUP end the program as closing it does: the event
// loop quits and everything is released on the way out (the lane port's lock,
// the office process and its profile), instead of being left behind.

namespace kuzelna {

// Installs the handlers; call once, after the application object exists.
void quitOnTerminationSignals();

} // namespace kuzelna
