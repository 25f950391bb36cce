#include "game/pause.h"

#include <cstring>

#include "actors/animation_table.h"
#include "actors/font.h"
#include "engine/engine.h"
#include "game/game_state.h"
#include "platform/audio.h"
#include "shell/trace.h"
#include "sound/sound.h"

namespace {
constexpr int keyPause = 0xC5;
// SDL's Start on a game controller; the players' own buttons are 0 to 3.
constexpr int startButton = 6;
constexpr const char* banner = "PAUSED";

bool pauseHeld(const Engine& engine) {
    if (engine.isKeyDown(Pause::pauseKey) || engine.isKeyDown(keyPause)) return true;
    for (int slot = 0; slot < maxPlayerCount; ++slot)
        if (engine.isButtonDown(slot, startButton)) return true;
    return false;
}
}  // namespace

void Pause::update(const Engine& engine) {
    bool held = pauseHeld(engine);
    bool pressed = held && !held_;
    held_ = held;
    if (!pressed) return;
    if (active_)
        set(false);
    else if (game.gameState == statePlay)
        set(true);
}

void Pause::focusLost() {
    if (!active_ && game.gameState == statePlay) set(true);
}

void Pause::set(bool active) {
    active_ = active;
    traceEvent(active ? "pause" : "resume", "");
    if (AudioOutput* audio = soundDevice()) audio->setPaused(active);
}

void Pause::drawBanner(Engine& engine, Surface& target) const {
    if (gameFont == nullptr) return;
    int width = gameFont->cellWidth();
    int count = static_cast<int>(std::strlen(banner));
    int x = (engine.screenWidth() - count * width) / 2;
    int y = (engine.screenHeight() - gameFont->cellHeight()) / 2;
    for (int i = 0; i < count; ++i, x += width)
        engine.drawCell(gameFont->sheet(), gameFont->cellFor(banner[i]), x, y, false, false,
                        &target, true);
}
