#include "net/lockstep.h"

namespace net {

LockstepBuffer::LockstepBuffer(int delay)
    : delay_(delay < minLockstepDelay ? minLockstepDelay : (delay > maxDelay ? maxDelay : delay)),
      nextLocal_(static_cast<uint32_t>(delay_) + 1),
      nextRemote_(static_cast<uint32_t>(delay_) + 1) {}

void LockstepBuffer::putLocal(const InputFrame& input) {
    local_[input.frame % slots] = input;
    nextLocal_ = input.frame + 1;
}

bool LockstepBuffer::putRemote(const InputFrame& input, std::string& error) {
    if (input.frame != nextRemote_) {
        error = "input for frame " + std::to_string(input.frame) + " where frame " +
                std::to_string(nextRemote_) + " was due";
        return false;
    }
    // A peer playing by the rules is never more than twice the delay ahead of us.
    if (input.frame >= lastRun_ + slots) {
        error = "input for frame " + std::to_string(input.frame) + " far ahead of the game";
        return false;
    }
    remote_[input.frame % slots] = input;
    ++nextRemote_;
    return true;
}

bool LockstepBuffer::ready(uint32_t frame) const {
    if (frame <= static_cast<uint32_t>(delay_)) return true;
    return frame < nextRemote_ && frame < nextLocal_;
}

const InputFrame& LockstepBuffer::local(uint32_t frame) const {
    if (frame <= static_cast<uint32_t>(delay_) || frame >= nextLocal_) return empty_;
    return local_[frame % slots];
}

const InputFrame& LockstepBuffer::remote(uint32_t frame) const {
    if (frame <= static_cast<uint32_t>(delay_) || frame >= nextRemote_) return empty_;
    return remote_[frame % slots];
}

}  // namespace net
