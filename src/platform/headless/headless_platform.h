#pragma once
#include <cstdint>
#include <vector>

#include "platform/platform.h"

// The deterministic backend: no window, no sound card, no real time. Everything a run does
// follows from the command line and the input script, so a run replays exactly.

// Time that moves only when the program sleeps.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(uint32_t startTick) : ticks_(startTick) {}
    uint32_t ticks() override { return ticks_; }
    // Follows the ticks, so that anything waiting for a new second gets one.
    int64_t wallSeconds() override { return static_cast<int64_t>(ticks_ / 1000u); }
    void sleepMs(uint32_t ms) override { ticks_ += ms; }

private:
    uint32_t ticks_;
};

// A keyboard whose keys are set by the input script (or a test).
class ScriptedKeyboard : public KeyboardDevice {
public:
    bool read(uint8_t state[256]) override;
    void setKey(int code, bool down) { keys_[code & 0xFF] = down ? 0x80 : 0x00; }
    bool keyDown(int code) const { return keys_[code & 0xFF] != 0; }
    // Makes every read fail (tests of a lost keyboard).
    void setReadable(bool readable) { readable_ = readable; }

private:
    uint8_t keys_[256] = {};
    bool readable_ = true;
};

// `count` attached controllers whose sticks and buttons are set by the script (or a test).
// Controllers are addressed by their enumeration index; the engine's device slots map onto
// them through setUp().
class SimulatedJoysticks : public JoystickSource {
public:
    static constexpr int maxControllers = 8;
    explicit SimulatedJoysticks(int count);

    int enumerate() override { return count_; }
    bool setUp(int slot, int index) override;
    bool read(int slot, JoystickState& state) override;
    bool acquire(int slot) override;

    void setButton(int index, int button, bool down);
    void setAxis(int index, char axis, int value);
    int count() const { return count_; }

    // Plug in more controllers, make set-up, reads or acquires fail (tests; a live run marks a
    // pulled-out controller unreadable through setReadFails).
    void setCount(int count) { count_ = count < maxControllers ? count : maxControllers; }
    void setSetUpFails(int index, bool fails) { setUpFails_[index] = fails; }
    void setReadFails(int index, bool fails) { readFails_[index] = fails; }
    void setAcquireFixesRead(int index, bool fixes) { acquireFixes_[index] = fixes; }
    int setUpCalls() const { return setUpCalls_; }
    int acquireCalls() const { return acquireCalls_; }

private:
    int count_;
    int slotIndex_[maxControllers];
    JoystickState states_[maxControllers] = {};
    bool setUpFails_[maxControllers] = {};
    bool readFails_[maxControllers] = {};
    bool acquireFixes_[maxControllers] = {};
    int setUpCalls_ = 0;
    int acquireCalls_ = 0;
};

// A sound device that plays nothing and remembers everything it was asked to do.
class RecordingAudio : public AudioOutput {
public:
    enum class Op { play, loop, stop, frequency, pause, resume };
    struct Event {
        Op op;
        int voice;  // -1 for pause and resume, which hold every voice
        int hz;     // frequency events only
    };
    struct Voice {
        std::vector<uint8_t> samples;
        int rate;
        int volume = 100;
    };

    // All at once, so that recording never shows as growth in a long run.
    RecordingAudio() { events_.reserve(maxEvents); }
    bool open() override { return openSucceeds_; }
    int createVoice(std::vector<uint8_t> samples, int rate) override;
    void play(int voice, bool looped) override;
    void stop(int voice) override;
    void setFrequency(int voice, int hz) override;
    void setPaused(bool paused) override;
    void setMasterVolume(int percent) override { volume_ = percent; }
    int masterVolume() const { return volume_; }
    void setVolume(int voice, int percent) override;

    const std::vector<Voice>& voices() const { return voices_; }
    const std::vector<Event>& events() const { return events_; }
    void clearEvents() { events_.clear(); }
    // Tests: a machine without a sound device.
    void setOpenSucceeds(bool succeeds) { openSucceeds_ = succeeds; }

    // Enough for any test; a long headless run must not carry a growing record nobody reads.
    static constexpr size_t maxEvents = 4096;

private:
    void record(const Event& event);

    bool openSucceeds_ = true;
    int volume_ = 100;
    std::vector<Voice> voices_;
    std::vector<Event> events_;
};

struct HeadlessSettings {
    uint32_t startTick = 0;
    int joysticks = 0;
};

class HeadlessDisplay;

// The same devices as `platform` holds, with their headless types, for whoever drives them.
struct HeadlessDevices {
    HeadlessDisplay* display = nullptr;
    ScriptedKeyboard* keyboard = nullptr;
    SimulatedJoysticks* joysticks = nullptr;
    RecordingAudio* audio = nullptr;
    VirtualClock* clock = nullptr;
};

// Fills `platform` with a 640 x 480 headless display and the devices above.
HeadlessDevices createHeadlessPlatform(const HeadlessSettings& settings, Platform& platform);
