#include "program/demo_cycle.h"

#include <filesystem>
#include <string>

#include "base/data_hash.h"
#include "platform/audio.h"
#include "recording/recording.h"
#include "recording/replay_store.h"
#include "rules/game_state.h"
#include "sound/sound.h"

namespace {

// Thirty seconds of a menu left alone start the attract demo.
constexpr int demoIdleFrames = 900;

// The record game with the most players, if one is kept and plays here.
bool loadDemoRecording(Recording& recording, int controllers) {
    for (int players = 3; players >= 1; --players) {
        std::string path = recordGamePath(replaysDirectory(), players);
        std::string error;
        if (!std::filesystem::exists(path)) continue;
        if (loadRecording(path, recording, error) &&
            recordingPlaysHere(recording, dataFilesHash(), error) &&
            recording.origin == Recording::Origin::game && recording.joysticks <= controllers)
            return true;
    }
    return false;
}

void setEffectVolumeHalved(bool halved) {
    if (AudioOutput* audio = soundDevice()) audio->setMasterVolume(halved ? 50 : 100);
}

}  // namespace

void DemoCycle::afterPlayersFrame(bool idle, int controllers, std::vector<GameEvent>& events) {
    if (!allowed_) return;
    if (game.gameState != stateMenu || !idle) {
        idleFrames_ = 0;
        return;
    }
    if (++idleFrames_ < demoIdleFrames) return;
    idleFrames_ = 0;
    Recording recording;
    bool recorded = loadDemoRecording(recording, controllers);
    demo_.start(recorded ? &recording : nullptr, events);
    setEffectVolumeHalved(true);
}

bool DemoCycle::step(uint32_t clock, StepOutput& out) {
    if (demo_.step(clock, out)) return true;
    end(out.events);
    return false;
}

void DemoCycle::end(std::vector<GameEvent>& events) {
    demo_.end(events);
    setEffectVolumeHalved(false);
    idleFrames_ = 0;
}
