#include "program/overlays.h"

#include <algorithm>
#include <cstring>

#include "actors/animation_table.h"
#include "actors/font.h"
#include "engine/engine.h"
#include "program/highscores.h"
#include "rules/game_state.h"

namespace overlays {

namespace {

constexpr uint16_t white = 0xFFFF;
constexpr uint16_t gold = 0xFE60;
constexpr int smallSpacing = 0;
constexpr int bigSpacing = 5;
// Where name entry puts the field of eight glyphs.
constexpr int nameX = 50;
constexpr int nameY = 110;
constexpr int namePlaces = 8;

void text(Engine& engine, Surface& target, const Font* font, int spacing, const std::string& s,
          int x, int y) {
    if (font == nullptr) return;
    int step = font->cellWidth() + spacing;
    if (x < 0) x = (engine.screenWidth() - static_cast<int>(s.size()) * step + spacing) / 2;
    for (char c : s) {
        engine.drawCell(font->sheet(), font->cellFor(c), x, y, false, false, &target, true);
        x += step;
    }
}

void fillRect(Surface& target, int left, int top, int width, int height, uint16_t colour) {
    int right = std::min(left + width, target.width());
    int bottom = std::min(top + height, target.height());
    left = std::max(left, 0);
    top = std::max(top, 0);
    uint16_t* pixels = target.lock();
    for (int y = top; y < bottom; ++y)
        std::fill(pixels + y * target.width() + left, pixels + y * target.width() + right, colour);
    target.unlock();
}

void frame(Surface& target, int left, int top, int width, int height, int thickness,
           uint16_t colour) {
    fillRect(target, left, top, width, thickness, colour);
    fillRect(target, left, top + height - thickness, width, thickness, colour);
    fillRect(target, left, top, thickness, height, colour);
    fillRect(target, left + width - thickness, top, thickness, height, colour);
}

}  // namespace

void smallText(Engine& engine, Surface& target, const std::string& s, int x, int y) {
    text(engine, target, scrollerFont, smallSpacing, s, x, y);
}

void bigText(Engine& engine, Surface& target, const std::string& s, int x, int y) {
    text(engine, target, gameFont, bigSpacing, s, x, y);
}

void optionsScreen(Engine& engine, Surface& target, const OptionsScreen::View& view) {
    target.fill(0);
    bigText(engine, target, view.title, -1, 24);
    constexpr int firstLine = 110;
    constexpr int lineGap = 22;
    constexpr int left = 90;
    for (size_t i = 0; i < view.lines.size(); ++i) {
        int y = firstLine + static_cast<int>(i) * lineGap;
        if (static_cast<int>(i) == view.selected) {
            fillRect(target, left - 30, y - 3, 640 - 2 * (left - 30), 22, 0x2945);
            smallText(engine, target, ">", left - 22, y);
        }
        smallText(engine, target, view.lines[i], left, y);
    }
    if (!view.message.empty()) smallText(engine, target, view.message, -1, 410);
    smallText(engine, target, view.hint, -1, 450);
}

void scoreLine(Engine& engine, Surface& target) {
    std::string line;
    for (int p = 0; p < game.numPlayers && p < maxPlayerCount; ++p)
        line += "P" + std::to_string(p + 1) + " " + std::to_string(game.score[p]) + " BOMBS " +
                std::to_string(game.smartBombs[p]) + "   ";
    line += "LEVEL " + std::to_string(game.levelIndex + 1) + "   CLIMBERS " +
            std::to_string(std::max(0, game.climbersToSpawn + game.climbersActive));
    fillRect(target, 0, 0, target.width(), 20, 0);
    smallText(engine, target, line, -1, 2);
}

bool gameIsOver() {
    switch (game.gameState) {
        case statePlay:
        case stateLevelEnd:
        case stateResultsSlideIn:
        case stateResults:
            return game.numPlayers > 0 && game.deadPlayers >= game.numPlayers;
        default:
            return false;
    }
}

void gameOverCaption(Engine& engine, Surface& target) {
    bigText(engine, target, "GAME OVER", -1, 30);
}

void highscorePage(Engine& engine, Surface& target) {
    target.fill(0);
    bigText(engine, target, "HIGHSCORES", -1, 60);
    for (int players = 1; players <= 3; ++players) {
        char name[9] = {};
        std::memcpy(name, highscoreName[players - 1], 8);
        std::string label = std::to_string(players) + (players == 1 ? " PLAYER " : " PLAYERS");
        std::string score = std::to_string(highscoreValue[players - 1]);
        std::string row = label + "   " + std::string(8 - std::min<size_t>(8, score.size()), ' ') +
                          score + "   " + name;
        smallText(engine, target, row, -1, 180 + 50 * (players - 1));
    }
}

void nameBox(Engine& engine, Surface& target, bool cursorShown) {
    if (gameFont == nullptr) return;
    int step = gameFont->cellWidth() + bigSpacing;
    int height = gameFont->cellHeight();
    frame(target, nameX - 8, nameY - 8, namePlaces * step + 11, height + 16, 3, white);
    if (cursorShown && game.nameLength < namePlaces)
        fillRect(target, nameX + game.nameLength * step, nameY + height - 2, gameFont->cellWidth(),
                 4, gold);
    (void)engine;
}

}  // namespace overlays
