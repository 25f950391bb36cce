#include "program/frame_feed.h"

#include <string>

#include "base/trace.h"
#include "input/input_capture.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"
#include "platform/platform.h"
#include "program/game_run.h"
#include "program/options.h"
#include "recording/recording.h"
#include "rules/game_state.h"
#include "screens/pause.h"

namespace {
constexpr int escapeCode = 1;
constexpr int spaceCode = 57;
}  // namespace

FrameFeed::FrameFeed(const Options& options, Platform& platform, const HeadlessDevices* headless,
                     const InputScript* script, const RunInput& input)
    : platform_(platform), onFrameInput_(input.onFrameInput), source_(input.source) {
    const Recording* playback = input.playback;
    if (playback != nullptr) playbackInput_ = std::make_unique<RecordedInput>(*playback);
    if (headless != nullptr) {
        // The headless devices are the scripted ones already (a test may have swapped in a
        // keyboard of its own and left that one null).
        input_ = std::make_unique<DeviceInput>(
            headless->keyboard, headless->joysticks,
            headless->keyboard == nullptr ? platform_.keyboard.get() : nullptr);
        if (source_ == nullptr && script != nullptr) {
            scriptSource_ = std::make_unique<ScriptInputSource>(*script);
            source_ = scriptSource_.get();
        }
    } else {
        // A live run: the game reads scripted devices that the capture (or the given source)
        // drives from the real ones, so what it saw is exactly the commands.
        capture_ = std::make_unique<InputCapture>(*platform_.keyboard, platform_.joysticks.get());
        int controllers = playback != nullptr ? playback->joysticks : capture_->joystickCount();
        // Both machines of a network game offer the same players, controllers or not.
        if (options.net != Options::Net::off) controllers = maxJoysticksUsed;
        input_ = std::make_unique<DeviceInput>(controllers);
        if (source_ == nullptr) source_ = capture_.get();
    }
}

FrameFeed::~FrameFeed() = default;

void FrameFeed::readCommands(int frame) {
    commands_.clear();
    if (source_ != nullptr) source_->commandsFor(frame, commands_);
    if (playbackInput_ && capture_) watchPlaybackKeys();
}

bool FrameFeed::anyPress() const {
    for (const InputCommand& c : commands_)
        if (c.kind == InputCommand::Kind::joyAxis ? c.value != 0 : c.down) return true;
    return false;
}

FrameInput FrameFeed::read(int frame, uint32_t clock) {
    if (releaseHeld_) {
        releaseHeld_ = false;
        InputState held = input_->held();
        for (const InputCommand& c : commands_) held.apply(c);
        held.releaseCommands(frame, commands_);
    }
    FrameInput input = input_->read(commands_, clock);
    if (playbackInput_) {
        // The recording is what the players did; the viewer's own keys only watch.
        input = playbackInput_->next();
        input.clock = clock;
    }
    return input;
}

void FrameFeed::report(int frame) {
    if (onFrameInput_) onFrameInput_(frame, commands_);
}

// Playback: the only keys the viewer has (the game itself sees the recording).
void FrameFeed::watchPlaybackKeys() {
    uint8_t keys[256];
    if (!platform_.keyboard->read(keys)) return;
    if (keys[escapeCode] & 0x80) leaveRequested_ = true;
    bool space = (keys[spaceCode] & 0x80) != 0;
    if (space && !spaceHeld_) fast_ = !fast_;
    spaceHeld_ = space;
}

void FrameFeed::followControllers() {
    SimulatedJoysticks* joysticks = input_->joysticks();
    if (!capture_ || source_ != capture_.get() || joysticks == nullptr) return;
    if (capture_->joystickCount() > joysticks->count())
        joysticks->setCount(capture_->joystickCount());
    for (int i = 0; i < capture_->joystickCount(); ++i)
        joysticks->setReadFails(i, !capture_->controllerReadable(i));
}

void FrameFeed::afterFrame() {
    InputReader& reader = input_->reader();
    if (reader.joystickCount() < maxJoysticksUsed) reader.setUpNewJoysticks(maxJoysticksUsed);
}

void FrameFeed::traceChanges() {
    const uint8_t* keys = input_->previousSnapshot();
    for (int code = 0; code < 256; ++code) {
        bool down = (keys[code] & 0x80) != 0;
        if (down == keySeen_[code]) continue;
        keySeen_[code] = down;
        traceEvent("key",
                   "\"code\":" + std::to_string(code) + ",\"down\":" + (down ? "true" : "false"));
    }
    const FrameInput& input = input_->previousInput();
    for (int slot = 0; slot < inputPlayers; ++slot) {
        uint32_t directions = input.players[slot].directions;
        uint32_t buttons = input.players[slot].buttons;
        if (directions == directionsSeen_[slot] && buttons == buttonsSeen_[slot]) continue;
        directionsSeen_[slot] = directions;
        buttonsSeen_[slot] = buttons;
        traceEvent("controls", "\"slot\":" + std::to_string(slot) +
                                   ",\"directions\":" + std::to_string(directions) +
                                   ",\"buttons\":" + std::to_string(buttons));
    }
}

void FrameFeed::tapPauseKey() {
    if (capture_ == nullptr || playbackInput_) return;
    if (!game.paused && game.gameState == statePlay) capture_->tapKey(pauseKeys::pauseKey);
}
