#pragma once
#include <vector>

#include "base/events.h"

// When rolled-back frames are stepped again, their sounds come again: `before` is what the
// frames did as first stepped (and the speakers already played), `after` what they do now.
// A sound both did is left alone (played once, a loop keeps going without a click); one only
// `before` played is stopped (`stops`), one only `after` plays is played now (`plays`), in
// the order it came; a loop (music, chainsaw) that only `before` stopped loops again. Matching
// ignores the frame, so a throw that lands one frame later does not restart its sound.
void correctSounds(const std::vector<GameEvent>& before, const std::vector<GameEvent>& after,
                   std::vector<GameEvent>& stops, std::vector<GameEvent>& plays);
