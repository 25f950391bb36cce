#pragma once
#include <cstdint>
#include <string>

#include "net/net_packet.h"

namespace net {

// The input of both machines for the frames about to run. A machine's input captured while
// frame F runs belongs to frame F + delay, so the first `delay` frames run on no input at all
// on both sides, and the peer's input for a frame has `delay` frames' time to arrive.
class LockstepBuffer {
public:
    explicit LockstepBuffer(int delay);

    int delay() const { return delay_; }
    // The local input of frame `input.frame`, which must be the next one after the last.
    void putLocal(const InputFrame& input);
    // The peer's input; false (with the reason) when it is not the frame expected next, which
    // a reliable ordered channel never produces unless the peer is broken.
    bool putRemote(const InputFrame& input, std::string& error);
    // Both machines' input for `frame` is here.
    bool ready(uint32_t frame) const;
    // The input of `frame` (empty for frames before the first delayed one); frames are taken
    // in order and each once.
    const InputFrame& local(uint32_t frame) const;
    const InputFrame& remote(uint32_t frame) const;
    uint32_t nextLocalFrame() const { return nextLocal_; }
    // `frame` has run: its slots may be reused.
    void ran(uint32_t frame) { lastRun_ = frame; }

private:
    static constexpr int slots = 4 * maxDelay;
    int delay_;
    uint32_t nextLocal_;
    uint32_t nextRemote_;
    uint32_t lastRun_ = 0;
    InputFrame local_[slots];
    InputFrame remote_[slots];
    InputFrame empty_;
};

}  // namespace net
