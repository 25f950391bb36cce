#pragma once
#include <cstdint>

#include "actors/actor.h"
#include "actors/font.h"
#include "actors/scroller.h"

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
enum class TitleRelease : uint8_t { none, waiting };

// The game variables of the world in play (`game`). Actors and labels held here are created
// on first use and reused by later games.
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
    ActorRef playerActor[maxPlayerCount] = {};
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
    ActorRef chainsawDrop[maxPlayerCount] = {};
    ActorRef playerMarker[maxPlayerCount] = {};
    ActorRef smartBombIcons[maxPlayerCount][3] = {};
    LabelRef playerLabel[maxPlayerCount] = {};
    LabelRef scoreDisplay[maxPlayerCount] = {};

    // Climbers
    ActorRef climberActor[climberSlots] = {};
    int climberState[climberSlots] = {};
    int climberDir[climberSlots] = {};
    int climberTargetX[climberSlots] = {};
    int climberTimer[climberSlots] = {};
    int climberRest[climberSlots] = {};
    int climberBurst[climberSlots] = {};
    double climberSpeed[climberSlots] = {};
    int climberTarget[climberSlots] = {};
    ActorRef climberBonusLabel[climberSlots] = {};

    // Balls and body parts
    ActorRef ballActor[ballSlots] = {};
    uint8_t ballActive[ballSlots] = {};
    int ballOwner[ballSlots] = {};
    int ballHits[ballSlots] = {};
    int nextBall = 0;
    ActorRef bodyPart[bodyPartSlots] = {};
    uint8_t bodyPartActive[bodyPartSlots] = {};

    // Ball supply
    ActorRef leftMagazine;
    ActorRef rightMagazine;
    ActorRef leftSupplyBall;
    ActorRef rightSupplyBall;
    int leftSupplyTimer = -1;
    int rightSupplyTimer = -1;
    uint8_t leftSupplyReady = 0;
    uint8_t rightSupplyReady = 0;

    // Title, menu, level banner and name entry
    ActorRef introFigure;
    ActorRef menuCursor;
    LabelRef playerCountDisplay;
    int menuSelection = 0;
    LabelRef menuItemText[3] = {};
    LabelRef levelNumberDisplay;
    ActorRef nameField;
    int nameLength = 0;
    int nameEntrySlot = 1;
    int nameEntryPlayer = 0;  // who set the record: his keyboard types the name
    int pendingHighscore = 0;
    int heldKey = -1;
    uint8_t highscoresChanged = 1;
    ScrollerRef creditsScroller;
    ScrollerRef highscoreScroller;
    ScrollerRef nameEntryMessage;

    // Recordings and playback
    uint32_t gameSeed = 0;  // the generator's seed at the last new game
    int gamesStarted = 0;   // new games so far in this run

    uint32_t randState = 1;  // the game's random generator (game_rand.h)
    int32_t frame = 0;        // steps taken: the frame being stepped is frame + 1
    uint32_t clock = 0;       // the clock of the frame being stepped (a new game's seed)
    bool paused = false;
    bool pauseHeld = true;    // a pause key held when play starts must be let go first
    bool screenshotArmed = true;  // the screenshot button was let go since the last picture
    bool demo = false;        // an attract demo: no name entry, back to the menu instead
    ActorRef levelText;      // the word "level" of the level banner
    // The results' name label of the next player set up; its digit counts up.
    char playerLabelText[8] = "Player1";
    // What the highscore ticker and the new-record message scroll (they read them live).
    char highscoreText[1000] = {};
    char nameEntryText[300] = {};
};

extern GameState& game;

// Every change of the screen state goes through here, so that it is traced when it happens.
// Sets stateFrame to 0 when resetFrame is true.
void setGameState(int newState, bool resetFrame);
// Every change of a player's score goes through here (traced).
void setScore(int player, int value);
