#pragma once
#include "platform/clock.h"
#include "platform/sdl/sdl_library.h"

class SdlClock : public Clock {
public:
    explicit SdlClock(SdlLibraryShare library) : library_(std::move(library)) {}
    uint32_t ticks() override;
    int64_t wallSeconds() override;
    void sleepMs(uint32_t ms) override;

private:
    SdlLibraryShare library_;
};
