#include "net/rollback.h"

#include <array>

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
    : Rollback(2, role == Role::host ? 0 : 1,
               role == Role::host ? std::array<int, 2>{localDelay, peerDelay}.data()
                                  : std::array<int, 2>{peerDelay, localDelay}.data(),
               startTick) {}

Rollback::Rollback(int machines, int slot, const int* delays, uint32_t startTick)
    : machines_(machines),
      slot_(slot),
      startTick_(startTick),
      worlds_(std::make_unique<World[]>(worldSlots)) {
    for (int s = 0; s < machines_; ++s) known_[s] = delay_[s] = static_cast<uint32_t>(delays[s]);
    copyWorld(worlds_[0], theWorld);
}

Rollback::~Rollback() = default;

void Rollback::startFromHere() { copyWorld(worlds_[0], theWorld); }

void Rollback::putLocal(uint32_t frame, const FrameInput& local) {
    uint32_t plays = frame + delay_[slot_];
    inputs_[slot_][plays % inputSlots] = localInputFrame(plays, local);
    known_[slot_] = plays;
}

const InputFrame& Rollback::localInput(uint32_t frame) const { return inputOf(slot_, frame); }

const InputFrame& Rollback::inputOf(int slot, uint32_t frame) const {
    if (frame == 0 || frame <= delay_[slot] || frame > known_[slot]) return empty_;
    return inputs_[slot][frame % inputSlots];
}

uint32_t Rollback::remoteKnown() const {
    uint32_t least = maxFrame;
    for (int s = 0; s < machines_; ++s)
        if (s != slot_ && known_[s] < least) least = known_[s];
    return least;
}

bool Rollback::putRemote(const InputFrame& input, std::string& error) {
    return putRemote(slot_ == 0 ? 1 : 0, input, error);
}

bool Rollback::putRemote(int slot, const InputFrame& input, std::string& error) {
    uint32_t& known = known_[slot];
    if (input.frame <= known) return true;  // had it already
    if (input.frame <= delay_[slot]) return true;
    // No machine runs more than the window beyond what it has of ours, nor gets ours before
    // we send it: anything much further is not a game we play.
    if (input.frame > known + inputSlots / 2) {
        error = "input for frame " + std::to_string(input.frame) + " far ahead of the game";
        return false;
    }
    InputFrame* inputs = inputs_[slot];
    inputs[input.frame % inputSlots] = input;
    while (inputs[(known + 1) % inputSlots].frame == known + 1) ++known;
    return true;
}

const InputFrame& Rollback::inputFor(int slot, uint32_t frame) const {
    if (slot == slot_) return localInput(frame);
    if (frame <= delay_[slot]) return empty_;
    const InputFrame& held = inputs_[slot][frame % inputSlots];
    if (held.frame == frame) return held;
    // Not here yet: the last one known is held, as players mostly go on doing what they did.
    if (known_[slot] <= delay_[slot]) return empty_;
    return inputs_[slot][known_[slot] % inputSlots];
}

FrameInput Rollback::merged(const InputFrame* bySlot, uint32_t frame) const {
    FrameInput input = mergeMachines(bySlot, machines_);
    input.clock = agreedClock(startTick_, frame);
    input.padsAnswering = 3;
    return input;
}

FrameInput Rollback::inputOf(uint32_t frame) {
    InputFrame* used = used_[frame % worldSlots];
    for (int s = 0; s < machines_; ++s) {
        used[s] = inputFor(s, frame);
        used[s].frame = frame;
    }
    return merged(used, frame);
}

bool Rollback::canRun(uint32_t frame) const {
    uint32_t known = remoteKnown();
    uint32_t settled = known < runFrame_ ? known : runFrame_;
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
    uint32_t known = remoteKnown();
    uint32_t settled = known < runFrame_ ? known : runFrame_;
    auto predictedRight = [this](uint32_t f) {
        for (int s = 0; s < machines_; ++s)
            if (!sameActions(inputFor(s, f), used_[f % worldSlots][s])) return false;
        return true;
    };
    for (uint32_t f = confirmedFrame_ + 1; f <= settled; ++f) {
        if (predictedRight(f)) continue;
        rewind(f);
        break;
    }
    for (uint32_t f = confirmedFrame_ + 1; f <= settled; ++f) {
        Frame done;
        done.frame = f;
        InputFrame inputs[maxMachines];
        for (int s = 0; s < machines_; ++s) inputs[s] = inputFor(s, f);
        done.input = merged(inputs, f);
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
        InputFrame inputs[maxMachines];
        for (int s = 0; s < machines_; ++s)
            inputs[s] = s == slot_ ? localInput(f) : used_[f % worldSlots][s];
        done.input = merged(inputs, f);
        done.events = events_[f % worldSlots];
        confirmed_.push_back(std::move(done));
    }
    confirmedFrame_ = runFrame_;
}

const World& Rollback::worldAfter(uint32_t frame) const { return worlds_[frame % worldSlots]; }

}  // namespace net
