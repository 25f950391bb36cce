#pragma once
#include <cstdint>

class Actor;
class Label;
class Scroller;
class SpriteFrame;

constexpr int maxPlayerCount = 3;
constexpr int climberSlots = 10;
constexpr int ballSlots = 45;
constexpr int bodyPartSlots = 30;

// Screen states.
enum : int {
    stateStartup = 10,
    stateMenu = 15,
    stateTitle = 20,
    stateNewGame = 30,
    stateSetup = 40,
    stateLevelIntro = 50,
    statePlay = 60,
    stateLevelEnd = 70,
    stateResultsSlideIn = 80,
    stateResults = 90,
    stateNameEntry = 100,
    stateNameAccepted = 110,
};

// The title's end waits for player 1's fire button to be let go, so the press that ended it
// does not also act in the menu: the frames of that wait run the engine only.
enum class TitleRelease : uint8_t { none, waiting, menuBuilt };

// The program-wide game variables; one instance (`game`) for the whole run, replaced by a
// fresh GameState{} in tests. Actors and labels held here are created on first use and
// reused by later games.
struct GameState {
    // Screen flow
    int gameState = stateStartup;
    int stateFrame = 0;
    uint8_t quitRequested = 0;
    int numPlayers = 1;
    int maxPlayers = 2;
    int minPlayers = 1;  // the fewest players the menu offers
    int levelIndex = 0;
    int climbersPerLevel = 1;
    int spawnInterval = 90;
    int spawnCountdown = 0;
    int climbersToSpawn = 0;
    int climbersActive = 0;
    int deadPlayers = 0;
    int climbTypeThreshold1 = 0;
    int climbTypeThreshold2 = 0;
    int climbTypeThreshold3 = 0;
    TitleRelease titleRelease = TitleRelease::none;

    // Per player
    Actor* playerActor[maxPlayerCount] = {};
    int playerState[maxPlayerCount] = {};
    int playerWeapon[maxPlayerCount] = {};
    int playerFacing[maxPlayerCount] = {};
    int playerActionTimer[maxPlayerCount] = {};
    int throwCountdown[maxPlayerCount] = {-1, -1, -1};
    int score[maxPlayerCount] = {};
    int bestScore[maxPlayerCount] = {};
    int smartBombs[maxPlayerCount] = {};
    int smartBombCooldown[maxPlayerCount] = {};
    uint8_t chainsawAvailable[maxPlayerCount] = {};
    Actor* chainsawDrop[maxPlayerCount] = {};
    Actor* playerMarker[maxPlayerCount] = {};
    Actor* smartBombIcons[maxPlayerCount][3] = {};
    Label* playerLabel[maxPlayerCount] = {};
    Label* scoreDisplay[maxPlayerCount] = {};

    // Climbers
    Actor* climberActor[climberSlots] = {};
    int climberState[climberSlots] = {};
    int climberDir[climberSlots] = {};
    int climberTargetX[climberSlots] = {};
    int climberTimer[climberSlots] = {};
    int climberRest[climberSlots] = {};
    int climberBurst[climberSlots] = {};
    double climberSpeed[climberSlots] = {};
    int climberTarget[climberSlots] = {};
    Actor* climberBonusLabel[climberSlots] = {};

    // Balls and body parts
    Actor* ballActor[ballSlots] = {};
    uint8_t ballActive[ballSlots] = {};
    int ballOwner[ballSlots] = {};
    int ballHits[ballSlots] = {};
    int nextBall = 0;
    Actor* bodyPart[bodyPartSlots] = {};
    uint8_t bodyPartActive[bodyPartSlots] = {};

    // Ball supply
    Actor* leftMagazine = nullptr;
    Actor* rightMagazine = nullptr;
    Actor* leftSupplyBall = nullptr;
    Actor* rightSupplyBall = nullptr;
    int leftSupplyTimer = -1;
    int rightSupplyTimer = -1;
    uint8_t leftSupplyReady = 0;
    uint8_t rightSupplyReady = 0;

    // Title, menu, level banner and name entry
    Actor* introFigure = nullptr;
    Actor* menuCursor = nullptr;
    Label* playerCountDisplay = nullptr;
    int menuSelection = 0;
    Label* menuItemText[3] = {};
    Label* levelNumberDisplay = nullptr;
    Actor* nameField = nullptr;
    int nameLength = 0;
    int nameEntrySlot = 1;
    int pendingHighscore = 0;
    int heldKey = -1;
    uint8_t highscoresChanged = 1;
    Scroller* creditsScroller = nullptr;
    Scroller* highscoreScroller = nullptr;
    Scroller* nameEntryMessage = nullptr;

    // Recordings and playback
    uint32_t gameSeed = 0;  // the generator's seed at the last new game
    int gamesStarted = 0;   // new games so far in this run
};

extern GameState game;

// Every change of the screen state goes through here, so that it is traced when it happens.
// Sets stateFrame to 0 when resetFrame is true.
void setGameState(int newState, bool resetFrame);
// Every change of a player's score goes through here (traced).
void setScore(int player, int value);
