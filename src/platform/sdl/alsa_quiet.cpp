#include "platform/sdl/alsa_quiet.h"

#include <dlfcn.h>

namespace {

// alsa-lib's snd_lib_error_handler_t; declared here so the game needs no ALSA headers.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err,
                                  const char* format, ...);
using SetAlsaErrorHandler = int (*)(AlsaErrorHandler handler);

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void quietenAlsa() {
    static bool done = false;
    if (done) return;
    done = true;
    // Kept loaded for the whole run: the handler must outlive every ALSA call SDL makes.
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (alsa == nullptr) return;
    auto set = reinterpret_cast<SetAlsaErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set != nullptr) set(&ignoreAlsaError);
}
