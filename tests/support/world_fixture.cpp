#include "support/world_fixture.h"

#include "actors/animation_table.h"
#include "base/paths.h"
#include "engine/animation.h"
#include "engine/sprite_frame.h"
#include "input/default_bindings.h"
#include "platform/headless/headless_display.h"
#include "program/event_output.h"
#include "rules/game_rand.h"

namespace {
Engine* shared = nullptr;

// Made again when another test built animations of its own meanwhile: the shared ones must
// be the game's, on this engine's sheets.
void makeSharedEngine() {
    if (shared != nullptr && animations[5] != nullptr &&
        animations[5]->frame(0)->engine() == shared)
        return;
    paths().dataDir = PARAPET_DATA_DIR;
    // Kept for the whole program, like the game's own engine for a whole run.
    shared = new Engine(new HeadlessDisplay(640, 480));
    theEngine = shared;
    buildAnimations();
    for (int i = 0; i < 3; ++i) {
        shared->setSplatCell(smallSplatFrame(i), smallSplat[i]->sheet(), smallSplat[i]->cell());
        shared->setSplatCell(largeSplatFrame(i), largeSplat[i]->sheet(), largeSplat[i]->cell());
    }
    shared->loadPictures();
}
}  // namespace

Engine& WorldFixture::engine() {
    makeSharedEngine();
    return *shared;
}

void WorldFixture::SetUp() {
    theEngine = &engine();
    resetWorld();
    gameSrand(12345);
    const PlayerKeys keys[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
    reader_.bindPlayerKeys(keys);
}

void WorldFixture::frame() {
    out_.events.clear();
    out_.picture = nullptr;
    FrameInput input = reader_.read(0);
    input.padsAnswering = static_cast<uint8_t>(padsAnswering);
    stepWorld(input, out_);
    events.insert(events.end(), out_.events.begin(), out_.events.end());
}

void WorldFixture::stageFrame() {
    out_.events.clear();
    out_.picture = nullptr;
    stepStage(reader_.read(0), out_);
    events.insert(events.end(), out_.events.begin(), out_.events.end());
}

void WorldFixture::frames(int n) {
    for (int i = 0; i < n; ++i) frame();
}

screen_run::Result WorldFixture::traced() const {
    std::string text;
    for (const GameEvent& e : events) {
        const char* name = nullptr;
        std::string fields;
        if (!traceLineOf(e, name, fields)) continue;
        text += std::string("{\"frame\":0,\"event\":\"") + name + "\"" +
                (fields.empty() ? "" : ",") + fields + "}\n";
    }
    screen_run::Result r;
    r.events = screen_run::parseTrace(text);
    return r;
}

int WorldFixture::soundCount(const char* op, const std::string& file) const {
    int n = 0;
    for (const auto& e : traced().all("sound")) n += e["op"] == op && e["file"] == file;
    return n;
}
