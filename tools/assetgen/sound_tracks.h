// The eight level tunes, one per level in turn.
#pragma once
#include "sound_sequencer.h"

namespace snd {

constexpr int kSongCount = 8;
// Song of level track `index` (0 plays first).
Song levelSong(int index);

}  // namespace snd
