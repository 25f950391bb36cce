#include "program/options_screen.h"

#include <algorithm>

#include "input/key_codes.h"
#include "input/pad_names.h"

namespace {

// A stick counts as pushed past half its travel, as in play.
constexpr int stickThreshold = 512;
constexpr int volumeStep = 10;
constexpr int maxScale = 8;

const char* const pageTitles[] = {"CONTROLS", "SOUND", "DISPLAY", "EXTRAS", "DONE"};
constexpr int pageCount = 5;
const char* const actionTitles[keyActionCount] = {"LEFT", "RIGHT", "FIRE", "CHAINSAW", "BOMB"};
const char* const fitTitles[3] = {"AUTO", "WHOLE", "SHARP"};
// The last two lines of the controls page.
constexpr int keyLineCount = keyboardPlayers * keyActionCount;
constexpr int resetLine = keyLineCount;
// The controller's buttons come after the keys' left and right.
constexpr int firstPadAction = keyActionCount - padActionCount;

// A controls line: the action, its key and, for the buttons, the controller's button.
std::string controlsLine(const std::string& label, const std::string& key,
                         const std::string& button) {
    std::string line = label;
    line.resize(18, ' ');
    line += key;
    if (button.empty()) return line;
    line.resize(std::max<size_t>(line.size() + 1, 32), ' ');
    return line + button;
}

std::string padded(const std::string& label, const std::string& value) {
    std::string line = label;
    line.resize(std::max<size_t>(line.size() + 1, 22), ' ');
    return line + value;
}

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string actionLabel(int player, int action) {
    return "PLAYER " + std::to_string(player + 1) + " " + actionTitles[action];
}

}  // namespace

OptionsScreen::OptionsScreen(Options& settings, KeyNamer keyName)
    : settings_(settings), keyName_(keyName) {}

void OptionsScreen::open() {
    open_ = true;
    page_ = Page::top;
    selected_ = 0;
    topSelected_ = 0;
    waitingForKey_ = false;
    message_.clear();
}

std::string OptionsScreen::keyText(int code) const {
    std::string name = keyName_ != nullptr ? keyName_(code) : std::string();
    return name.empty() ? "KEY " + std::to_string(code) : upper(name);
}

int OptionsScreen::itemCount() const {
    switch (page_) {
        case Page::top:
            return pageCount;
        case Page::controls:
            return keyLineCount + 2;
        case Page::sound:
            return 3;
        case Page::display:
            return 5;
        case Page::extras:
            return extraCount + 1;
    }
    return 1;
}

OptionsScreen::Move OptionsScreen::moveOf(const InputCommand& c) {
    switch (c.kind) {
        case InputCommand::Kind::key:
            if (!c.down) return Move::none;
            switch (c.code) {
                case keys::up:
                    return Move::up;
                case keys::down:
                    return Move::down;
                case keys::left:
                    return Move::left;
                case keys::right:
                    return Move::right;
                case keys::enter:
                case keys::space:
                case keys::padEnter:
                    return Move::select;
                case keys::escape:
                case keys::backspace:
                    return Move::back;
                case keys::tab:
                    return Move::close;
                default:
                    return Move::none;
            }
        case InputCommand::Kind::joyButton:
            if (!c.down) return Move::none;
            if (c.code == padButtons::a) return Move::select;
            if (c.code == padButtons::b) return Move::back;
            if (c.code == padButtons::start) return Move::close;
            return Move::none;
        case InputCommand::Kind::joyAxis: {
            if (c.joystick < 0 || c.joystick >= maxPads || (c.axis != 'x' && c.axis != 'y'))
                return Move::none;
            int& last = axis_[c.joystick][c.axis == 'x' ? 0 : 1];
            int before = last;
            last = c.value;
            // Only a push past the threshold moves, once, until the stick comes back.
            bool low = c.value < -stickThreshold && before >= -stickThreshold;
            bool high = c.value > stickThreshold && before <= stickThreshold;
            if (c.axis == 'x') return low ? Move::left : high ? Move::right : Move::none;
            return low ? Move::up : high ? Move::down : Move::none;
        }
    }
    return Move::none;
}

unsigned OptionsScreen::handle(const std::vector<InputCommand>& commands) {
    toSave_.clear();
    unsigned changed = nothing;
    for (const InputCommand& c : commands) {
        if (!open_) break;
        if (waitingForKey_) {
            // Escape or Start keeps the old one: neither can be bound, so nothing is lost.
            if (c.kind == InputCommand::Kind::key && c.down) {
                if (c.code == keys::escape)
                    endWait();
                else
                    changed |= rebind(c.code);
            } else if (c.kind == InputCommand::Kind::joyButton && c.down) {
                if (c.code == padButtons::start)
                    endWait();
                else
                    changed |= rebindPad(c.joystick, c.code);
            }
            continue;
        }
        Move move = moveOf(c);
        if (move != Move::none) changed |= act(move);
    }
    return changed;
}

unsigned OptionsScreen::act(Move move) {
    if (move != Move::none) message_.clear();
    int count = itemCount();
    switch (move) {
        case Move::up:
            selected_ = (selected_ + count - 1) % count;
            return nothing;
        case Move::down:
            selected_ = (selected_ + 1) % count;
            return nothing;
        case Move::left:
            return adjust(-1);
        case Move::right:
            return adjust(+1);
        case Move::select:
            return choose();
        case Move::back:
            back();
            return nothing;
        case Move::close:
            open_ = false;
            return nothing;
        case Move::none:
            return nothing;
    }
    return nothing;
}

void OptionsScreen::endWait() {
    waitingForKey_ = false;
    message_.clear();
}

void OptionsScreen::back() {
    if (page_ == Page::top) {
        open_ = false;
        return;
    }
    page_ = Page::top;
    selected_ = topSelected_;
}

unsigned OptionsScreen::choose() {
    int last = itemCount() - 1;
    if (page_ == Page::top) {
        if (selected_ == last) {
            open_ = false;
            return nothing;
        }
        topSelected_ = selected_;
        page_ = static_cast<Page>(selected_ + 1);
        selected_ = 0;
        return nothing;
    }
    if (selected_ == last) {
        back();
        return nothing;
    }
    if (page_ == Page::controls) {
        if (selected_ == resetLine) {
            for (int p = 0; p < keyboardPlayers; ++p) {
                settings_.playerKeys[p] = defaultPlayerKeys(p);
                settings_.playerPads[p] = PadButtons{};
                for (int a = 0; a < keyActionCount; ++a) keyLines(p, a);
                for (int a = 0; a < padActionCount; ++a) padLines(p, a);
            }
            message_ = "EVERY KEY AND BUTTON IS BACK TO ITS DEFAULT";
            return keys;
        }
        waitingForKey_ = true;
        message_ = std::string("PRESS THE NEW ") + (selectedHasButton() ? "KEY OR BUTTON" : "KEY") +
                   " FOR " + actionLabel(selected_ / keyActionCount, selected_ % keyActionCount);
        return nothing;
    }
    // Every value steps forward on a press, so a controller's A alone changes everything.
    return adjust(+1);
}

void OptionsScreen::keyLines(int player, int action) {
    int code = *actionKey(settings_.playerKeys[player], action);
    std::string name = keyName_ != nullptr ? keyName_(code) : std::string();
    toSave_.push_back({"player" + std::to_string(player + 1), actionNames[action], name});
}

bool OptionsScreen::selectedHasButton() const {
    return selected_ % keyActionCount >= firstPadAction;
}

void OptionsScreen::padLines(int player, int action) {
    toSave_.push_back({"controller" + std::to_string(player + 1),
                       actionNames[firstPadAction + action],
                       padButtonFileName(padAction(settings_.playerPads[player], action))});
}

std::string OptionsScreen::buttonText(int player, int button) const {
    return padButtonName(padLayouts_[player], button);
}

std::string OptionsScreen::padTakenBy(int button, int player, int action) const {
    if (const char* fixed = fixedPadUse(player, button)) return upper(fixed);
    PadButtons pad = settings_.playerPads[player];
    for (int a = 0; a < padActionCount; ++a)
        if (a != action && padAction(pad, a) == button)
            return actionLabel(player, firstPadAction + a);
    return {};
}

unsigned OptionsScreen::rebindPad(int joystick, int button) {
    int player = selected_ / keyActionCount;
    int action = selected_ % keyActionCount - firstPadAction;
    // The wait goes on after each refusal, as for a key.
    if (action < 0) {
        message_ = "A CONTROLLER RUNS WITH ITS STICK OR D-PAD";
        return nothing;
    }
    if (joystick != player) {
        message_ = "THAT IS NOT PLAYER " + std::to_string(player + 1) + "'S CONTROLLER";
        return nothing;
    }
    if (button < 0 || button >= padButtons::count) return nothing;
    std::string taken = padTakenBy(button, player, action);
    if (!taken.empty()) {
        message_ = buttonText(player, button) + " IS ALREADY " + taken;
        return nothing;
    }
    waitingForKey_ = false;
    padAction(settings_.playerPads[player], action) = button;
    padLines(player, action);
    message_ =
        actionLabel(player, firstPadAction + action) + " IS NOW " + buttonText(player, button);
    return keys;
}

std::string OptionsScreen::takenBy(int code, int player, int action) const {
    if (const char* fixed = fixedKeyUse(code)) return upper(fixed);
    for (int p = 0; p < keyboardPlayers; ++p) {
        PlayerKeys keys = settings_.playerKeys[p];
        std::string who = "PLAYER " + std::to_string(p + 1) + " ";
        if (keys.up == code) return who + "UP";
        if (keys.down == code) return who + "DOWN";
        for (int a = 0; a < keyActionCount; ++a)
            if ((p != player || a != action) && *actionKey(keys, a) == code)
                return who + actionTitles[a];
    }
    return {};
}

unsigned OptionsScreen::rebind(int code) {
    int player = selected_ / keyActionCount;
    int action = selected_ % keyActionCount;
    std::string taken = takenBy(code, player, action);
    if (!taken.empty()) {
        // The wait goes on: the player picks another key or keeps the old one.
        message_ = keyText(code) + " IS ALREADY " + taken;
        return nothing;
    }
    if (keyName_ == nullptr || keyName_(code).empty()) {
        message_ = "THAT KEY CANNOT BE SAVED";
        return nothing;
    }
    waitingForKey_ = false;
    *actionKey(settings_.playerKeys[player], action) = code;
    keyLines(player, action);
    message_ = actionLabel(player, action) + " IS NOW " + keyText(code);
    return keys;
}

unsigned OptionsScreen::adjust(int step) {
    Options& o = settings_;
    switch (page_) {
        case Page::sound: {
            if (selected_ > 1) return nothing;
            int& volume = selected_ == 0 ? o.musicVolume : o.effectsVolume;
            int wanted = volume + step * volumeStep;
            // Stepping on past either end wraps round, so one button reaches every value.
            volume = wanted > 100 ? 0 : wanted < 0 ? 100 : wanted;
            toSave_.push_back(
                {"sound", selected_ == 0 ? "music" : "effects", std::to_string(volume)});
            return sound;
        }
        case Page::display:
            switch (selected_) {
                case 0:
                    o.fullscreen = !o.fullscreen;
                    toSave_.push_back({"window", "mode", o.fullscreen ? "fullscreen" : "window"});
                    return display;
                case 1:
                    o.scale = (o.scale - 1 + step + maxScale) % maxScale + 1;
                    toSave_.push_back({"window", "scale", std::to_string(o.scale)});
                    return display;
                case 2:
                    o.fitMode = static_cast<FitMode>((static_cast<int>(o.fitMode) + step + 3) % 3);
                    toSave_.push_back(
                        {"window", "scaling", fitModeNames[static_cast<int>(o.fitMode)]});
                    return display;
                case 3:
                    o.scanlines = !o.scanlines;
                    toSave_.push_back({"window", "filter", o.scanlines ? "scanlines" : "none"});
                    return display;
                default:
                    return nothing;
            }
        case Page::extras: {
            if (selected_ >= extraCount) return nothing;
            bool& flag = extraFlag(o.extras, selected_);
            flag = !flag;
            toSave_.push_back({"extras", extraKeys[selected_], flag ? "on" : "off"});
            return extras;
        }
        default:
            return nothing;
    }
}

OptionsScreen::View OptionsScreen::view(bool padInUse, PadLayout pad) const {
    View v;
    v.selected = selected_;
    v.message = message_;
    const Options& o = settings_;
    switch (page_) {
        case Page::top:
            v.title = "OPTIONS";
            v.lines.assign(pageTitles, pageTitles + pageCount);
            break;
        case Page::controls:
            v.title = "CONTROLS";
            for (int p = 0; p < keyboardPlayers; ++p)
                for (int a = 0; a < keyActionCount; ++a) {
                    std::string button =
                        a < firstPadAction
                            ? std::string()
                            : buttonText(p, padAction(settings_.playerPads[p], a - firstPadAction));
                    v.lines.push_back(controlsLine(actionLabel(p, a),
                                                   keyText(*actionKey(settings_.playerKeys[p], a)),
                                                   button));
                }
            v.lines.push_back("RESET TO DEFAULTS");
            break;
        case Page::sound:
            v.title = "SOUND";
            v.lines.push_back(padded("MUSIC", "< " + std::to_string(o.musicVolume) + " >"));
            v.lines.push_back(padded("EFFECTS", "< " + std::to_string(o.effectsVolume) + " >"));
            break;
        case Page::display:
            v.title = "DISPLAY";
            v.lines.push_back(padded("MODE", o.fullscreen ? "FULL SCREEN" : "WINDOW"));
            v.lines.push_back(padded("SCALE", "< " + std::to_string(o.scale) + " >"));
            v.lines.push_back(padded("SCALING", fitTitles[static_cast<int>(o.fitMode)]));
            v.lines.push_back(padded("FILTER", o.scanlines ? "SCANLINES" : "NONE"));
            break;
        case Page::extras:
            v.title = "EXTRAS";
            for (int i = 0; i < extraCount; ++i)
                v.lines.push_back(padded(extraTitles[i], extraOn(o.extras, i) ? "ON" : "OFF"));
            break;
    }
    if (page_ != Page::top) v.lines.push_back("BACK");
    if (page_ == Page::controls && v.message.empty())
        v.message = "ON A CONTROLLER THE STICK OR D-PAD RUNS";
    if (waitingForKey_)
        v.hint = std::string(selectedHasButton() ? "PRESS A KEY OR BUTTON (" : "PRESS A KEY (") +
                 (padInUse ? padButtonName(pad, padButtons::start) : "ESCAPE") +
                 ": KEEP THE OLD ONE)";
    else if (padInUse)
        v.hint = padButtonName(pad, padButtons::a) + ": CHANGE   " +
                 padButtonName(pad, padButtons::b) + ": BACK   " +
                 padButtonName(pad, padButtons::start) + ": CLOSE";
    else
        v.hint = "RETURN: CHANGE   LEFT/RIGHT: VALUE   ESCAPE: BACK";
    return v;
}
