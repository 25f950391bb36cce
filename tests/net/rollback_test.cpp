// Two machines of a rollback game in one process, over a pretend network that loses, delays
// and reorders their input: every frame either machine confirms must be the frame a game with
// all the input known from the start plays, world and events alike.
#include "net/rollback.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "net/input_merge.h"
#include "play/play_fixture.h"
#include "world/world_compare.h"

using namespace net;

namespace {

// Player 1 of machine `m` in frame t: runs about and throws, changing his mind every few frames.
FrameInput playerInput(int m, uint32_t t) {
    FrameInput input;
    uint32_t h = (t / (3 + m) + 7 * static_cast<uint32_t>(m)) * 2654435761u;
    const uint8_t directions[] = {0, 4, 8, 0};
    input.players[0].directions = directions[(h >> 8) & 3];
    input.players[0].buttons = (h >> 12) & 1;
    return input;
}

struct Machine {
    std::unique_ptr<Rollback> rollback;
    std::unique_ptr<World> world = std::make_unique<World>();
    int delay = 0;
    uint32_t frame = 0;  // frames run
    int waits = 0;
};

struct Delivery {
    int due;
    int to;
    InputFrame input;
};

class RollbackGame : public PlayField {
protected:
    static constexpr uint32_t frames = 600;
    static constexpr uint32_t startTick = 5000;

    void SetUp() override {
        PlayField::SetUp();
        newGameInPlay(2);
        start_ = std::make_unique<World>();
        copyWorld(*start_, theWorld);
    }

    // The game as it is meant to be: every frame with both machines' real input.
    void playReference(int hostDelay, int guestDelay) {
        copyWorld(theWorld, *start_);
        hashes_.assign(frames + 1, 0);
        events_.assign(frames + 1, {});
        for (uint32_t f = 1; f <= frames; ++f) {
            InputFrame host = localInputFrame(
                f, f > uint32_t(hostDelay) ? playerInput(0, f - hostDelay) : FrameInput{});
            InputFrame guest = localInputFrame(
                f, f > uint32_t(guestDelay) ? playerInput(1, f - guestDelay) : FrameInput{});
            FrameInput input = mergeInputs(host, guest);
            input.clock = agreedClock(startTick, f);
            input.padsAnswering = 3;
            StepOutput out;
            stepWorld(input, out);
            hashes_[f] = worldHash(theWorld);
            events_[f] = out.events;
        }
    }

    // Both machines, a frame of each per tick, their input taking 2 to `latency` ticks each
    // way, one packet in `lossEvery` lost. Returns the frames confirmed that differ.
    int playOnline(int hostDelay, int guestDelay, int latency, int lossEvery) {
        Machine m[2];
        m[0].delay = hostDelay;
        m[1].delay = guestDelay;
        for (int i = 0; i < 2; ++i) {
            copyWorld(*m[i].world, *start_);
            copyWorld(theWorld, *start_);
            m[i].rollback = std::make_unique<Rollback>(i == 0 ? Role::host : Role::guest,
                                                       m[i].delay, m[1 - i].delay, startTick);
        }
        std::vector<Delivery> wire;
        std::mt19937 random(99);
        int wrong = 0;
        confirmed_[0] = confirmed_[1] = 0;
        for (int tick = 0; m[0].frame < frames || m[1].frame < frames; ++tick) {
            for (int i = 0; i < 2; ++i) {
                Machine& me = m[i];
                std::erase_if(wire, [&](const Delivery& d) {
                    if (d.due > tick || d.to != i) return false;
                    std::string error;
                    EXPECT_TRUE(me.rollback->putRemote(d.input, error)) << error;
                    return true;
                });
                uint32_t f = me.frame + 1;
                if (f > frames) continue;
                copyWorld(theWorld, *me.world);
                if (me.rollback->localKnown() < f + me.delay)
                    me.rollback->putLocal(f, playerInput(i, f));
                // What the other has not got yet goes out again, in one packet that may be lost.
                if (random() % lossEvery != 0) {
                    int due = tick + 2 + static_cast<int>(random() % (latency - 1));
                    for (uint32_t g = m[1 - i].rollback->remoteKnown() + 1;
                         g <= me.rollback->localKnown(); ++g)
                        if (g > uint32_t(me.delay))
                            wire.push_back({due, 1 - i, me.rollback->localInput(g)});
                }
                if (!me.rollback->canRun(f)) {
                    ++me.waits;
                    continue;
                }
                me.rollback->forgetNews();
                FrameInput input = me.rollback->prepare(f);
                wrong += checkConfirmed(i, *me.rollback);
                StepOutput out;
                stepWorld(input, out);
                me.rollback->stepped(f, out.events);
                me.frame = f;
                copyWorld(*me.world, theWorld);
            }
        }
        waits_ = m[0].waits + m[1].waits;
        rollbacks_ = m[0].rollback->rollbacks() + m[1].rollback->rollbacks();
        return wrong;
    }

    int checkConfirmed(int machine, const Rollback& rollback) {
        int wrong = 0;
        for (const Rollback::Frame& c : rollback.confirmed()) {
            EXPECT_EQ(c.frame, confirmed_[machine] + 1) << "confirmed in order, none left out";
            confirmed_[machine] = c.frame;
            bool same = worldHash(rollback.worldAfter(c.frame)) == hashes_[c.frame] &&
                        c.events.size() == events_[c.frame].size();
            for (size_t k = 0; same && k < c.events.size(); ++k)
                same = c.events[k].kind == events_[c.frame][k].kind &&
                       c.events[k].a == events_[c.frame][k].a &&
                       c.events[k].b == events_[c.frame][k].b;
            if (!same) ++wrong;
        }
        return wrong;
    }

    std::unique_ptr<World> start_;
    std::vector<uint64_t> hashes_;
    std::vector<std::vector<GameEvent>> events_;
    uint32_t confirmed_[2] = {};
    int waits_ = 0;
    int rollbacks_ = 0;
};

}  // namespace

TEST_F(RollbackGame, ConfirmedFramesAreTheGameWithAllInputKnownWhateverTheNetworkDoes) {
    struct Case {
        int hostDelay, guestDelay, latency, lossEvery;
        bool waitsExpected;
    };
    const Case cases[] = {
        {1, 1, 4, 20, false},  // a good connection: predictions cover it
        {0, 2, 6, 10, false},  // each machine its own delay
        {0, 0, 14, 5, true},   // beyond the window: it waits, and still plays the same game
    };
    for (const Case& c : cases) {
        playReference(c.hostDelay, c.guestDelay);
        SCOPED_TRACE(testing::Message() << "delays " << c.hostDelay << "/" << c.guestDelay
                                        << ", latency " << c.latency);
        EXPECT_EQ(playOnline(c.hostDelay, c.guestDelay, c.latency, c.lossEvery), 0);
        EXPECT_GT(rollbacks_, 0) << "the other player's input was mispredicted now and then";
        EXPECT_GE(confirmed_[0], frames - predictionWindow);
        EXPECT_GE(confirmed_[1], frames - predictionWindow);
        EXPECT_EQ(waits_ > 0, c.waitsExpected) << waits_;
    }
}
