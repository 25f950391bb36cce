#pragma once
#include <memory>

// SDL is started once for the display, keyboard, controllers, audio and clock together, and
// must only be shut down after the last of them is gone. Each part holds a share of this;
// the order the platform's parts are destroyed in then does not matter.
class SdlLibrary {
public:
    SdlLibrary() = default;
    ~SdlLibrary();
    SdlLibrary(const SdlLibrary&) = delete;
    SdlLibrary& operator=(const SdlLibrary&) = delete;
};

using SdlLibraryShare = std::shared_ptr<SdlLibrary>;
