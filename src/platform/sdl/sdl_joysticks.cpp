#include "platform/sdl/sdl_joysticks.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/sdl/pad_reading.h"

namespace {

constexpr int buttonBytes = static_cast<int>(sizeof(JoystickState::buttons));

// Analogue triggers are the buttons after the controller's own ones, down past half travel.
constexpr int leftTriggerButton = SDL_CONTROLLER_BUTTON_MAX;
constexpr int rightTriggerButton = SDL_CONTROLLER_BUTTON_MAX + 1;
constexpr int triggerThreshold = 16384;

void readController(SDL_GameController* pad, JoystickState& state) {
    state.x = scaleAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
    state.y = scaleAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    applyDirectionPad(SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP) != 0,
                      SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN) != 0,
                      SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT) != 0,
                      SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) != 0,
                      state);
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX && b < buttonBytes; ++b) {
        if (SDL_GameControllerGetButton(pad, static_cast<SDL_GameControllerButton>(b))) {
            state.buttons[b] = 0x80;
        }
    }
    if (rightTriggerButton < buttonBytes) {
        if (SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT) > triggerThreshold) {
            state.buttons[leftTriggerButton] = 0x80;
        }
        if (SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > triggerThreshold) {
            state.buttons[rightTriggerButton] = 0x80;
        }
    }
}

void readRawJoystick(SDL_Joystick* stick, JoystickState& state) {
    if (SDL_JoystickNumAxes(stick) >= 1) state.x = scaleAxis(SDL_JoystickGetAxis(stick, 0));
    if (SDL_JoystickNumAxes(stick) >= 2) state.y = scaleAxis(SDL_JoystickGetAxis(stick, 1));
    if (SDL_JoystickNumHats(stick) >= 1) {
        Uint8 hat = SDL_JoystickGetHat(stick, 0);
        applyDirectionPad((hat & SDL_HAT_UP) != 0, (hat & SDL_HAT_DOWN) != 0,
                          (hat & SDL_HAT_LEFT) != 0, (hat & SDL_HAT_RIGHT) != 0, state);
    }
    int buttons = std::min(SDL_JoystickNumButtons(stick), buttonBytes);
    for (int b = 0; b < buttons; ++b) {
        if (SDL_JoystickGetButton(stick, b)) state.buttons[b] = 0x80;
    }
}

}  // namespace

SdlJoysticks::SdlJoysticks(SdlLibraryShare library) : library_(std::move(library)) {}

SdlJoysticks::~SdlJoysticks() {
    for (Slot& slot : slots_) close(slot);
}

void SdlJoysticks::close(Slot& slot) {
    if (slot.controller != nullptr) SDL_GameControllerClose(slot.controller);
    if (slot.joystick != nullptr) SDL_JoystickClose(slot.joystick);
    slot = Slot{};
}

bool SdlJoysticks::openDevice(Slot& slot, int deviceIndex) {
    close(slot);
    if (SDL_IsGameController(deviceIndex)) {
        slot.controller = SDL_GameControllerOpen(deviceIndex);
        if (slot.controller == nullptr) return false;
        slot.guid = SDL_JoystickGetGUID(SDL_GameControllerGetJoystick(slot.controller));
    } else {
        slot.joystick = SDL_JoystickOpen(deviceIndex);
        if (slot.joystick == nullptr) return false;
        slot.guid = SDL_JoystickGetGUID(slot.joystick);
    }
    return true;
}

bool SdlJoysticks::attached(const Slot& slot) const {
    if (slot.controller != nullptr) return SDL_GameControllerGetAttached(slot.controller);
    if (slot.joystick != nullptr) return SDL_JoystickGetAttached(slot.joystick);
    return false;
}

SDL_JoystickID SdlJoysticks::instanceOf(const Slot& slot) const {
    if (slot.controller != nullptr) {
        return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(slot.controller));
    }
    if (slot.joystick != nullptr) return SDL_JoystickInstanceID(slot.joystick);
    return -1;
}

bool SdlJoysticks::inUse(SDL_JoystickID id) const {
    return std::any_of(std::begin(slots_), std::end(slots_), [&](const Slot& slot) {
        return attached(slot) && instanceOf(slot) == id;
    });
}

int SdlJoysticks::enumerate() {
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return 0;
    // Looks for pads plugged in or pulled out since the last look.
    SDL_JoystickUpdate();
    int devices = SDL_NumJoysticks();
    SDL_JoystickID present[64];
    int presentCount = 0;
    for (int i = 0; i < devices && presentCount < 64; ++i) {
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        if (id >= 0) present[presentCount++] = id;
    }
    auto isPresent = [&](SDL_JoystickID id) {
        return std::find(present, present + presentCount, id) != present + presentCount;
    };
    int kept = 0;
    for (int i = 0; i < knownCount_; ++i) {
        if (isPresent(known_[i])) known_[kept++] = known_[i];
    }
    knownCount_ = kept;
    for (int i = 0; i < presentCount && knownCount_ < maxDevices; ++i) {
        if (std::find(known_, known_ + knownCount_, present[i]) == known_ + knownCount_) {
            known_[knownCount_++] = present[i];
        }
    }
    return knownCount_;
}

bool SdlJoysticks::setUp(int slot, int index) {
    if (slot < 0 || slot >= maxDevices || index < 0 || index >= knownCount_) return false;
    int devices = SDL_NumJoysticks();
    for (int i = 0; i < devices; ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == known_[index]) {
            return openDevice(slots_[slot], i);
        }
    }
    return false;
}

bool SdlJoysticks::read(int slot, JoystickState& state) {
    if (slot < 0 || slot >= maxDevices || !attached(slots_[slot])) return false;
    state = JoystickState{};
    if (slots_[slot].controller != nullptr) {
        readController(slots_[slot].controller, state);
    } else {
        readRawJoystick(slots_[slot].joystick, state);
    }
    return true;
}

bool SdlJoysticks::acquire(int slot) {
    if (slot < 0 || slot >= maxDevices) return false;
    Slot& current = slots_[slot];
    if (attached(current)) return true;
    if (current.controller == nullptr && current.joystick == nullptr) return false;
    // A pad pulled out and plugged back in comes back as a new device; give the player's
    // slot the first free device of the same kind so play can go on.
    SDL_JoystickGUID guid = current.guid;
    int devices = SDL_NumJoysticks();
    for (int i = 0; i < devices; ++i) {
        SDL_JoystickGUID candidate = SDL_JoystickGetDeviceGUID(i);
        if (std::memcmp(&candidate, &guid, sizeof guid) != 0) continue;
        if (inUse(SDL_JoystickGetDeviceInstanceID(i))) continue;
        Slot fresh;
        if (openDevice(fresh, i)) {
            close(current);
            current = fresh;
            return true;
        }
    }
    return false;
}
