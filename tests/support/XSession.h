#pragma once

#include <string>

namespace ox_test {

/// Runs "xdotool ARGS" and returns true when it succeeded.
bool xdotool(const std::string& args);

/// The server's key code of a key symbol name ("F11", "KP_Subtract"), or 0.
/// xdotool given that number presses exactly that key, with no modifier: given
/// the name it may pick a level of the key that needs one and hold, say, Alt.
int keycodeOf(const std::string& keysym_name);

/// Asks a window to close the way a window manager's close button does: a
/// WM_DELETE_WINDOW message of the WM_PROTOCOLS kind. True when it was sent.
bool requestWindowClose(unsigned long window);

}  // namespace ox_test
