#pragma once

namespace ox_test {

/// Makes sure the X server named by DISPLAY accepts clients, and keeps one
/// connection to it open for the rest of the process. Graphics tests call it
/// before opening a window, because the windowing library ends the process
/// when it cannot reach the server. An X server resets itself whenever its
/// last client leaves (as each test process does) and refuses connections
/// while it resets; the connection kept open here stops those resets during
/// the test. Waits at most timeout_ms milliseconds; false when DISPLAY is
/// unset or no connection succeeded.
bool waitForXDisplay(int timeout_ms = 10000);

}  // namespace ox_test
