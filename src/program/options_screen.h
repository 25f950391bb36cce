#pragma once
#include <string>
#include <vector>

#include "platform/headless/input_script.h"
#include "platform/input.h"
#include "program/options.h"
#include "program/settings.h"

// The options screen opened from the menu: pages of controls, sound, display and extras,
// steered by keyboard or controller alone. It works on the run's settings and says what it
// changed, for the shell to apply at once and write to the settings file; it knows nothing
// of the world, which waits in the menu meanwhile.
class OptionsScreen {
public:
    using KeyNamer = std::string (*)(int code);
    // `keys`: a key or a controller button of players 1 and 2.
    enum Changed : unsigned { nothing = 0, keys = 1, sound = 2, display = 4, extras = 8 };

    // `keyName` names keys as the settings file writes them; null names them by number.
    OptionsScreen(Options& settings, KeyNamer keyName);

    void open();
    // The layouts of players 1 and 2's controllers, for naming their buttons.
    void setPadLayouts(PadLayout player1, PadLayout player2) {
        padLayouts_[0] = player1;
        padLayouts_[1] = player2;
    }
    bool isOpen() const { return open_; }
    // Handles one frame's commands (key and controller presses); returns what changed. The
    // lines to write to the settings file are then in toSave().
    unsigned handle(const std::vector<InputCommand>& commands);
    const std::vector<SettingLine>& toSave() const { return toSave_; }

    // What the screen shows: a title, its lines with one selected, a message, and a hint
    // naming the controls of the keyboard or, when one is in use, the controller.
    struct View {
        std::string title;
        std::vector<std::string> lines;
        int selected = 0;
        std::string message;
        std::string hint;
    };
    View view(bool padInUse, PadLayout pad) const;

    // The name of a key as the screen shows it.
    std::string keyText(int code) const;

private:
    enum class Page { top, controls, sound, display, extras };
    enum class Move { none, up, down, left, right, select, back, close };

    Move moveOf(const InputCommand& command);
    unsigned act(Move move);
    unsigned adjust(int step);
    unsigned choose();
    unsigned rebind(int code);
    unsigned rebindPad(int joystick, int button);
    void endWait();
    void back();
    int itemCount() const;
    void keyLines(int player, int action);
    void padLines(int player, int action);
    std::string takenBy(int code, int player, int action) const;
    std::string padTakenBy(int button, int player, int action) const;
    std::string buttonText(int player, int button) const;
    // Whether the controls page's selected action has a controller button.
    bool selectedHasButton() const;

    Options& settings_;
    KeyNamer keyName_;
    bool open_ = false;
    Page page_ = Page::top;
    int selected_ = 0;
    int topSelected_ = 0;
    bool waitingForKey_ = false;
    std::string message_;
    std::vector<SettingLine> toSave_;
    static constexpr int maxPads = 8;
    int axis_[maxPads][2] = {};  // each controller's stick, x and y, as last seen
    PadLayout padLayouts_[keyboardPlayers] = {};
};
