#include "net/rollback.h"

#include "net/input_merge.h"
#include "world/world.h"
#include "world/world_compare.h"

namespace net {

namespace {

bool sameActions(const InputFrame& a, const InputFrame& b) {
    return a.first == b.first && a.third == b.third;
}

}  // namespace

uint32_t agreedClock(uint32_t startTick, uint32_t frame) {
    return startTick + 33u * (frame > 2 ? frame - 2 : 0);
}

Rollback::Rollback(Role role, int localDelay, int peerDelay, uint32_t startTick)
    : role_(role),
      localDelay_(static_cast<uint32_t>(localDelay)),
      peerDelay_(static_cast<uint32_t>(peerDelay)),
      startTick_(startTick),
      localKnown_(localDelay_),
      remoteKnown_(peerDelay_),
      worlds_(std::make_unique<World[]>(worldSlots)) {
    copyWorld(worlds_[0], theWorld);
}

Rollback::~Rollback() = default;

void Rollback::putLocal(uint32_t frame, const FrameInput& local) {
    uint32_t plays = frame + localDelay_;
    local_[plays % inputSlots] = localInputFrame(plays, local);
    localKnown_ = plays;
}

const InputFrame& Rollback::localInput(uint32_t frame) const {
    if (frame == 0 || frame <= localDelay_ || frame > localKnown_) return empty_;
    return local_[frame % inputSlots];
}

bool Rollback::putRemote(const InputFrame& input, std::string& error) {
    if (input.frame <= remoteKnown_) return true;  // had it already
    if (input.frame <= peerDelay_) return true;
    // The other machine never runs more than the window beyond what it has of ours, nor gets
    // ours before we send it: anything much further is not a game we play.
    if (input.frame > remoteKnown_ + inputSlots / 2) {
        error = "input for frame " + std::to_string(input.frame) + " far ahead of the game";
        return false;
    }
    remote_[input.frame % inputSlots] = input;
    while (remote_[(remoteKnown_ + 1) % inputSlots].frame == remoteKnown_ + 1) ++remoteKnown_;
    return true;
}

const InputFrame& Rollback::remoteFor(uint32_t frame) const {
    if (frame <= peerDelay_) return empty_;
    const InputFrame& slot = remote_[frame % inputSlots];
    if (slot.frame == frame) return slot;
    // Not here yet: the last one known is held, as players mostly go on doing what they did.
    if (remoteKnown_ <= peerDelay_) return empty_;
    return remote_[remoteKnown_ % inputSlots];
}

FrameInput Rollback::inputOf(uint32_t frame) {
    InputFrame remote = remoteFor(frame);
    remote.frame = frame;
    used_[frame % worldSlots] = remote;
    const InputFrame& local = localInput(frame);
    FrameInput input =
        role_ == Role::host ? mergeInputs(local, remote) : mergeInputs(remote, local);
    input.clock = agreedClock(startTick_, frame);
    input.padsAnswering = 3;
    return input;
}

bool Rollback::canRun(uint32_t frame) const {
    uint32_t settled = remoteKnown_ < runFrame_ ? remoteKnown_ : runFrame_;
    return frame <= settled + predictionWindow;
}

void Rollback::forgetNews() {
    correction_.from = correction_.to = 0;
    correction_.before.clear();
    correction_.after.clear();
    confirmed_.clear();
}

void Rollback::rewind(uint32_t firstWrong) {
    if (correction_.from == 0 || firstWrong < correction_.from) correction_.from = firstWrong;
    correction_.to = runFrame_;
    copyWorld(theWorld, worlds_[(firstWrong - 1) % worldSlots]);
    for (uint32_t f = firstWrong; f <= runFrame_; ++f) {
        std::vector<GameEvent>& events = events_[f % worldSlots];
        correction_.before.insert(correction_.before.end(), events.begin(), events.end());
        StepOutput out;
        out.events.swap(events);
        out.events.clear();
        stepWorld(inputOf(f), out);
        ++framesStepped_;
        correction_.after.insert(correction_.after.end(), out.events.begin(), out.events.end());
        events.swap(out.events);
        copyWorld(worlds_[f % worldSlots], theWorld);
    }
    int length = static_cast<int>(runFrame_ - firstWrong + 1);
    ++rollbacks_;
    if (length > longest_) longest_ = length;
}

FrameInput Rollback::prepare(uint32_t frame) {
    catchUp();
    return inputOf(frame);
}

void Rollback::catchUp() {
    uint32_t settled = remoteKnown_ < runFrame_ ? remoteKnown_ : runFrame_;
    for (uint32_t f = confirmedFrame_ + 1; f <= settled; ++f) {
        if (sameActions(remoteFor(f), used_[f % worldSlots])) continue;
        rewind(f);
        break;
    }
    for (uint32_t f = confirmedFrame_ + 1; f <= settled; ++f) {
        Frame done;
        done.frame = f;
        InputFrame remote = remoteFor(f);
        const InputFrame& local = localInput(f);
        done.input = role_ == Role::host ? mergeInputs(local, remote) : mergeInputs(remote, local);
        done.input.clock = agreedClock(startTick_, f);
        done.input.padsAnswering = 3;
        done.events = events_[f % worldSlots];
        confirmed_.push_back(std::move(done));
    }
    confirmedFrame_ = settled;
}

void Rollback::stepped(uint32_t frame, const std::vector<GameEvent>& events) {
    runFrame_ = frame;
    ++framesStepped_;
    copyWorld(worlds_[frame % worldSlots], theWorld);
    events_[frame % worldSlots] = events;
}

void Rollback::confirmAll() {
    for (uint32_t f = confirmedFrame_ + 1; f <= runFrame_; ++f) {
        Frame done;
        done.frame = f;
        const InputFrame& local = localInput(f);
        const InputFrame& remote = used_[f % worldSlots];
        done.input = role_ == Role::host ? mergeInputs(local, remote) : mergeInputs(remote, local);
        done.input.clock = agreedClock(startTick_, f);
        done.input.padsAnswering = 3;
        done.events = events_[f % worldSlots];
        confirmed_.push_back(std::move(done));
    }
    confirmedFrame_ = runFrame_;
}

const World& Rollback::worldAfter(uint32_t frame) const { return worlds_[frame % worldSlots]; }

}  // namespace net
