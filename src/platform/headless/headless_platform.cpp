#include "platform/headless/headless_platform.h"

#include "platform/headless/headless_display.h"

HeadlessDevices createHeadlessPlatform(const HeadlessSettings& settings, Platform& platform) {
    HeadlessDevices devices;
    auto display = std::make_unique<HeadlessDisplay>(640, 480);
    auto keyboard = std::make_unique<ScriptedKeyboard>();
    auto joysticks = std::make_unique<SimulatedJoysticks>(settings.joysticks);
    auto audio = std::make_unique<RecordingAudio>();
    auto clock = std::make_unique<VirtualClock>(settings.startTick);
    devices.display = display.get();
    devices.keyboard = keyboard.get();
    devices.joysticks = joysticks.get();
    devices.audio = audio.get();
    devices.clock = clock.get();
    platform.display = std::move(display);
    platform.keyboard = std::move(keyboard);
    platform.joysticks = std::move(joysticks);
    platform.audio = std::move(audio);
    platform.clock = std::move(clock);
    return devices;
}
