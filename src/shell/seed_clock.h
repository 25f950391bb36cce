#pragma once
#include <cstdint>
#include <vector>

#include "game/game_state.h"
#include "platform/clock.h"

// The clock the game seeds its generator from while a recording plays: each new game reads
// the seed the recorded game had, so it deals the same climbers. Time itself (waiting,
// seconds) still comes from the run's own clock.
class SeedClock : public Clock {
public:
    SeedClock(Clock& time, std::vector<uint32_t> seeds)
        : time_(time), seeds_(std::move(seeds)), firstGame_(game.gamesStarted) {}
    uint32_t ticks() override {
        if (seeds_.empty()) return time_.ticks();
        size_t next = static_cast<size_t>(game.gamesStarted - firstGame_);
        return seeds_[next < seeds_.size() ? next : seeds_.size() - 1];
    }
    int64_t wallSeconds() override { return time_.wallSeconds(); }
    void sleepMs(uint32_t ms) override { time_.sleepMs(ms); }

private:
    Clock& time_;
    std::vector<uint32_t> seeds_;
    int firstGame_;
};
