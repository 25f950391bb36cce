#include "net/input_merge.h"

namespace net {

namespace {

// Player 1's keys (arrows, right Shift, right Ctrl, Return) and player 2's in the same order
// (E X D G, left Shift, left Ctrl, left Alt): the default bindings.
constexpr int playerOneKeys[7] = {200, 208, 203, 205, 54, 157, 28};
constexpr int playerTwoKeys[7] = {18, 45, 32, 34, 42, 29, 56};

// Which joystick a machine's controller drives; -1 for none.
int joystickFor(Role role, int controller) {
    if (controller == 0) return role == Role::host ? 0 : 1;
    if (controller == 2) return 2;
    return -1;
}

}  // namespace

int guestKey(int code) {
    for (int i = 0; i < 7; ++i)
        if (playerOneKeys[i] == code) return playerTwoKeys[i];
    return code;
}

void InputMerge::apply(const InputFrame& input, Side& side) {
    for (int i = 0; i < input.count && i < maxCommandsPerFrame; ++i) {
        const NetCommand& c = input.commands[i];
        if (c.kind == NetCommand::Kind::key) {
            side.keys[c.code] = c.down;
            continue;
        }
        if (c.controller >= trackedControllers) continue;
        if (c.kind == NetCommand::Kind::joyButton) {
            if (c.code <= maxButton) side.buttons[c.controller][c.code] = c.down;
        } else if (c.axis == 'x') {
            side.axisX[c.controller] = c.value;
        } else {
            side.axisY[c.controller] = c.value;
        }
    }
}

void InputMerge::releaseAll(std::vector<InputCommand>& out) {
    host_ = Side{};
    guest_ = Side{};
    merge(InputFrame{}, InputFrame{}, Typist::nobody, out);
}

void InputMerge::merge(const InputFrame& host, const InputFrame& guest, Typist typist,
                       std::vector<InputCommand>& out) {
    apply(host, host_);
    apply(guest, guest_);

    bool keys[256] = {};
    bool typing = typist != Typist::nobody;
    bool hostTypes = typist == Typist::host || typist == Typist::either;
    bool guestTypes = typist == Typist::guest || typist == Typist::either;
    for (int k = 0; k < 256; ++k) {
        if (host_.keys[k] && (!typing || hostTypes)) keys[k] = true;
        if (guest_.keys[k] && (!typing || guestTypes)) keys[typing ? k : guestKey(k)] = true;
    }
    for (int k = 0; k < 256; ++k) {
        if (keys[k] == keys_[k]) continue;
        keys_[k] = keys[k];
        InputCommand c;
        c.kind = InputCommand::Kind::key;
        c.code = k;
        c.down = keys[k];
        out.push_back(c);
    }

    bool buttons[trackedControllers][maxButton + 1] = {};
    int axisX[trackedControllers] = {};
    int axisY[trackedControllers] = {};
    // The host's controller goes first, so when both sides steer player 3 the host wins.
    for (const Side* side : {&guest_, &host_}) {
        Role role = side == &host_ ? Role::host : Role::guest;
        for (int controller = 0; controller < trackedControllers; ++controller) {
            int j = joystickFor(role, controller);
            if (j < 0) continue;
            for (int b = 0; b <= maxButton; ++b)
                if (side->buttons[controller][b]) buttons[j][b] = true;
            if (side->axisX[controller] != 0) axisX[j] = side->axisX[controller];
            if (side->axisY[controller] != 0) axisY[j] = side->axisY[controller];
        }
    }
    for (int j = 0; j < trackedControllers; ++j) {
        for (int b = 0; b <= maxButton; ++b) {
            if (buttons[j][b] == buttons_[j][b]) continue;
            buttons_[j][b] = buttons[j][b];
            InputCommand c;
            c.kind = InputCommand::Kind::joyButton;
            c.joystick = j;
            c.code = b;
            c.down = buttons[j][b];
            out.push_back(c);
        }
        for (char axis : {'x', 'y'}) {
            int value = axis == 'x' ? axisX[j] : axisY[j];
            int& shown = axis == 'x' ? axisX_[j] : axisY_[j];
            if (value == shown) continue;
            shown = value;
            InputCommand c;
            c.kind = InputCommand::Kind::joyAxis;
            c.joystick = j;
            c.axis = axis;
            c.value = value;
            out.push_back(c);
        }
    }
}

}  // namespace net
