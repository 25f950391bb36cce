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

bool sameGuid(const SDL_JoystickGUID& a, const SDL_JoystickGUID& b) {
    return std::memcmp(a.data, b.data, sizeof a.data) == 0;
}

// SDL's device index of an instance id, or -1 when that device is gone.
int deviceIndexOf(SDL_JoystickID id) {
    int devices = SDL_NumJoysticks();
    for (int i = 0; i < devices; ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    }
    return -1;
}

}  // namespace

SdlJoysticks::SdlJoysticks(SdlLibraryShare library) : library_(std::move(library)) {}

SdlJoysticks::~SdlJoysticks() {
    for (Slot& slot : slots_) close(slot);
}

void SdlJoysticks::refreshKnown() {
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return;
    // Looks for pads plugged in or pulled out since the last look.
    SDL_JoystickUpdate();
    bool gone[maxDevices];
    for (int k = 0; k < knownCount_; ++k) gone[k] = deviceIndexOf(known_[k].id) < 0;
    int devices = SDL_NumJoysticks();
    for (int i = 0; i < devices; ++i) {
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        if (id < 0) continue;
        auto isThis = [&](const Known& k) { return k.id == id; };
        if (std::any_of(known_, known_ + knownCount_, isThis)) continue;
        SDL_JoystickGUID guid = SDL_JoystickGetDeviceGUID(i);
        int place = -1;
        for (int k = 0; k < knownCount_ && place < 0; ++k) {
            if (gone[k] && sameGuid(known_[k].guid, guid)) place = k;
        }
        if (place < 0) {
            if (knownCount_ == maxDevices) continue;
            place = knownCount_++;
        }
        known_[place] = Known{id, guid};
        gone[place] = false;
    }
}

void SdlJoysticks::close(Slot& slot) {
    if (slot.controller != nullptr) SDL_GameControllerClose(slot.controller);
    if (slot.joystick != nullptr) SDL_JoystickClose(slot.joystick);
    slot = Slot{};
}

bool SdlJoysticks::open(Slot& slot, int knownIndex) {
    close(slot);
    // Kept even when opening fails, so a later acquire can try the same place again.
    slot.knownIndex = knownIndex;
    int device = deviceIndexOf(known_[knownIndex].id);
    if (device < 0) return false;
    if (SDL_IsGameController(device)) {
        slot.controller = SDL_GameControllerOpen(device);
        if (slot.controller == nullptr) return false;
    } else {
        slot.joystick = SDL_JoystickOpen(device);
        if (slot.joystick == nullptr) return false;
    }
    return true;
}

bool SdlJoysticks::attached(const Slot& slot) const {
    if (slot.controller != nullptr) return SDL_GameControllerGetAttached(slot.controller);
    if (slot.joystick != nullptr) return SDL_JoystickGetAttached(slot.joystick);
    return false;
}

int SdlJoysticks::enumerate() {
    refreshKnown();
    return knownCount_;
}

bool SdlJoysticks::setUp(int slot, int index) {
    if (slot < 0 || slot >= maxDevices || index < 0 || index >= knownCount_) return false;
    return open(slots_[slot], index);
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
    if (attached(slots_[slot])) return true;
    int knownIndex = slots_[slot].knownIndex;
    if (knownIndex < 0) return false;
    refreshKnown();
    if (deviceIndexOf(known_[knownIndex].id) < 0) return false;
    return open(slots_[slot], knownIndex);
}

PadLayout padLayoutOf(SDL_GameControllerType type) {
    switch (type) {
        case SDL_CONTROLLER_TYPE_XBOX360:
        case SDL_CONTROLLER_TYPE_XBOXONE:
            return PadLayout::xbox;
        case SDL_CONTROLLER_TYPE_PS3:
        case SDL_CONTROLLER_TYPE_PS4:
        case SDL_CONTROLLER_TYPE_PS5:
            return PadLayout::playstation;
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO:
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_LEFT:
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_RIGHT:
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR:
            return PadLayout::nintendo;
        default:
            return PadLayout::generic;
    }
}

PadLayout SdlJoysticks::layout(int slot) const {
    if (slot < 0 || slot >= maxDevices) return PadLayout::generic;
    if (slots_[slot].joystick != nullptr) return PadLayout::rawJoystick;
    if (slots_[slot].controller == nullptr) return PadLayout::generic;
    return padLayoutOf(SDL_GameControllerGetType(slots_[slot].controller));
}
