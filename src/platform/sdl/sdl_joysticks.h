#pragma once
#include <SDL_gamecontroller.h>
#include <SDL_joystick.h>

#include "platform/input.h"
#include "platform/sdl/sdl_library.h"

// Game controllers through SDL's controller mappings, so every pad SDL knows reads alike
// (A, B, X, Y are buttons 0 to 3); devices without a mapping are read as raw joysticks.
class SdlJoysticks : public JoystickSource {
public:
    static constexpr int maxDevices = 8;

    explicit SdlJoysticks(SdlLibraryShare library);
    ~SdlJoysticks() override;

    int enumerate() override;
    bool setUp(int slot, int index) override;
    bool read(int slot, JoystickState& state) override;
    bool acquire(int slot) override;

private:
    struct Slot {
        SDL_GameController* controller = nullptr;
        SDL_Joystick* joystick = nullptr;  // set for raw joysticks only
        SDL_JoystickGUID guid{};
    };

    void close(Slot& slot);
    bool openDevice(Slot& slot, int deviceIndex);
    bool attached(const Slot& slot) const;
    SDL_JoystickID instanceOf(const Slot& slot) const;
    bool inUse(SDL_JoystickID id) const;

    SdlLibraryShare library_;
    Slot slots_[maxDevices];
    // Instance ids in the order they were first seen, so a pad keeps its place in the list
    // while others come and go.
    SDL_JoystickID known_[maxDevices] = {};
    int knownCount_ = 0;
};
