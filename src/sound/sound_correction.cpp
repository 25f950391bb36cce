#include "sound/sound_correction.h"

#include <cstddef>

#include "catalog/sound_files.h"

namespace {

bool sameSound(const GameEvent& a, const GameEvent& b) {
    return a.kind == EventKind::sound && b.kind == EventKind::sound && a.a == b.a && a.b == b.b &&
           a.c == b.c;
}

// The sounds the game loops: the music and the chainsaw.
bool loops(int sound) {
    return sound >= 0 && sound < soundCount &&
           (isMusic(soundAt(sound)) || soundAt(sound) == Sound::chainsawLoop);
}

}  // namespace

void correctSounds(const std::vector<GameEvent>& before, const std::vector<GameEvent>& after,
                   std::vector<GameEvent>& stops, std::vector<GameEvent>& plays) {
    stops.clear();
    plays.clear();
    std::vector<bool> matched(before.size(), false);
    for (const GameEvent& now : after) {
        if (now.kind != EventKind::sound) continue;
        bool found = false;
        for (std::size_t i = 0; i < before.size() && !found; ++i) {
            if (matched[i] || !sameSound(before[i], now)) continue;
            matched[i] = found = true;
        }
        if (!found) plays.push_back(now);
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        const GameEvent& then = before[i];
        if (matched[i] || then.kind != EventKind::sound) continue;
        SoundOp op = static_cast<SoundOp>(then.a);
        if (op == SoundOp::stop && loops(then.b)) {
            // A loop stopped by a prediction that did not come true goes on (from its start:
            // where it was is lost).
            GameEvent again = then;
            again.a = static_cast<int32_t>(SoundOp::loop);
            plays.push_back(again);
            continue;
        }
        if (op != SoundOp::play && op != SoundOp::loop) continue;
        GameEvent stop = then;
        stop.a = static_cast<int32_t>(SoundOp::stop);
        stops.push_back(stop);
    }
}
