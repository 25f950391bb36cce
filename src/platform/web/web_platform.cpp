#include "platform/web/web_platform.h"

#include "platform/web/web_audio.h"
#include "platform/web/web_clock.h"
#include "platform/web/web_display.h"
#include "platform/web/web_gamepads.h"
#include "platform/web/web_keyboard.h"

WebAudio* createWebPlatform(Platform& platform) {
    auto audio = std::make_unique<WebAudio>();
    WebAudio* output = audio.get();
    platform.display = std::make_unique<WebDisplay>();
    platform.keyboard = std::make_unique<WebKeyboard>();
    platform.joysticks = std::make_unique<WebGamepads>();
    platform.audio = std::move(audio);
    platform.clock = std::make_unique<WebClock>();
    return output;
}
