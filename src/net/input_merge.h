#pragma once
#include <vector>

#include "net/net_packet.h"
#include "platform/headless/input_script.h"

namespace net {

// Turns what each machine's players pressed into the one set of keys and controllers both
// games read. The host's players keep their keys and first controller (player 1); the
// guest's player-1 keys and first controller play player 2; a third controller on either
// side plays player 3. Each side's keys are kept apart and combined, so one machine releasing
// a key cannot cancel the other machine holding it.
// Whose keyboard types a new record's name: the machine of the player who set it (player 3's
// record either machine's).
enum class Typist { nobody, host, guest, either };

class InputMerge {
public:
    static constexpr int trackedControllers = 3;

    // Applies both machines' input of one frame and appends to `out` the changes of the
    // combined devices. While a name is typed only the typist's keys count, taken as they are
    // (so a guest's Return and letters reach the name field).
    void merge(const InputFrame& host, const InputFrame& guest, Typist typist,
               std::vector<InputCommand>& out);

    // Lets go of everything the two machines held, appending the changes to `out`: once the
    // peer is gone nothing it pressed may stay stuck down.
    void releaseAll(std::vector<InputCommand>& out);

private:
    struct Side {
        bool keys[256] = {};
        bool buttons[trackedControllers][maxButton + 1] = {};
        int axisX[trackedControllers] = {};
        int axisY[trackedControllers] = {};
    };
    void apply(const InputFrame& input, Side& side);

    Side host_;
    Side guest_;
    bool keys_[256] = {};
    bool buttons_[trackedControllers][maxButton + 1] = {};
    int axisX_[trackedControllers] = {};
    int axisY_[trackedControllers] = {};
};

// The key a guest's key becomes on the shared keyboard outside name entry.
int guestKey(int code);

}  // namespace net
