#pragma once

namespace ox_test {

/// Waits (at most timeout_ms) until the X server named by DISPLAY accepts a
/// client, and keeps that connection open for the rest of the process: the
/// windowing library ends the process when it cannot reach the server, and a
/// server whose last client leaves resets and refuses connections meanwhile.
/// False when DISPLAY is unset or no connection succeeded.
bool waitForXDisplay(int timeout_ms = 10000);

}  // namespace ox_test
