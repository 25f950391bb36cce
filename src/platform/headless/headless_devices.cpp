#include <cstring>

#include "platform/headless/headless_platform.h"

bool ScriptedKeyboard::read(uint8_t state[256]) {
    if (!readable_) return false;
    std::memcpy(state, keys_, sizeof keys_);
    return true;
}

SimulatedJoysticks::SimulatedJoysticks(int count) {
    setCount(count < 0 ? 0 : count);
    for (int& index : slotIndex_) index = -1;
}

bool SimulatedJoysticks::setUp(int slot, int index) {
    ++setUpCalls_;
    if (slot < 0 || slot >= maxControllers || index < 0 || index >= count_) return false;
    if (setUpFails_[index]) return false;
    slotIndex_[slot] = index;
    return true;
}

bool SimulatedJoysticks::read(int slot, JoystickState& state) {
    if (slot < 0 || slot >= maxControllers) return false;
    int index = slotIndex_[slot];
    // A controller beyond the count has been pulled out.
    if (index < 0 || index >= count_ || readFails_[index]) return false;
    state = states_[index];
    return true;
}

bool SimulatedJoysticks::acquire(int slot) {
    ++acquireCalls_;
    if (slot < 0 || slot >= maxControllers) return false;
    int index = slotIndex_[slot];
    if (index < 0 || index >= count_) return false;
    if (acquireFixes_[index]) readFails_[index] = false;
    return !readFails_[index];
}

void SimulatedJoysticks::setButton(int index, int button, bool down) {
    if (index < 0 || index >= maxControllers || button < 0 || button >= 32) return;
    states_[index].buttons[button] = down ? 0x80 : 0x00;
}

void SimulatedJoysticks::setAxis(int index, char axis, int value) {
    if (index < 0 || index >= maxControllers) return;
    (axis == 'x' ? states_[index].x : states_[index].y) = value;
}

int RecordingAudio::createVoice(std::vector<uint8_t> samples, int rate) {
    if (samples.empty()) return -1;
    voices_.push_back(Voice{std::move(samples), rate, 100});
    return static_cast<int>(voices_.size()) - 1;
}

void RecordingAudio::record(const Event& event) {
    // A long headless run must not grow without bound; tests look at short runs.
    if (events_.size() < maxEvents) events_.push_back(event);
}

void RecordingAudio::play(int voice, bool looped) {
    record(Event{looped ? Op::loop : Op::play, voice, 0});
}

void RecordingAudio::stop(int voice) { record(Event{Op::stop, voice, 0}); }

void RecordingAudio::setFrequency(int voice, int hz) { record(Event{Op::frequency, voice, hz}); }

void RecordingAudio::setPaused(bool paused) {
    record(Event{paused ? Op::pause : Op::resume, -1, 0});
}

void RecordingAudio::setVolume(int voice, int percent) {
    if (voice >= 0 && voice < static_cast<int>(voices_.size())) voices_[voice].volume = percent;
}
