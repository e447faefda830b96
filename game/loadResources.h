#pragma once

/// Loads the game's sprites, music and drum sounds from the working directory
/// under their fixed labels. A file that does not load is reported by the
/// resource manager and the game goes on without it.
void loadResources();
