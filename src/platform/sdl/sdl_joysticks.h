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
    PadLayout layout(int slot) const override;

private:
    // A pad's place in the enumerated list. A pad pulled out keeps its place, and a pad of
    // the same kind plugged in later takes it over, so re-plugging a cable gives the same
    // player the same controller and the list only ever grows.
    struct Known {
        SDL_JoystickID id = -1;
        SDL_JoystickGUID guid{};
    };
    struct Slot {
        SDL_GameController* controller = nullptr;
        SDL_Joystick* joystick = nullptr;  // set for raw joysticks only
        int knownIndex = -1;
    };

    void refreshKnown();
    void close(Slot& slot);
    bool open(Slot& slot, int knownIndex);
    bool attached(const Slot& slot) const;

    SdlLibraryShare library_;
    Slot slots_[maxDevices];
    Known known_[maxDevices];
    int knownCount_ = 0;
};

// Whose labels a controller of this SDL type carries.
PadLayout padLayoutOf(SDL_GameControllerType type);
