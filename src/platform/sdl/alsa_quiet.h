#pragma once

// Routes alsa-lib's error messages to nowhere, so a machine without a sound card sees only
// the game's own notice. SDL loads the same libasound, so the setting reaches it; without
// ALSA installed there is nothing to quieten and this does nothing.
void quietenAlsa();
