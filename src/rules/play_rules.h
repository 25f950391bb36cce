#pragma once

// Codes and numbers shared by the play frame, the climbers, the controls and the set-up.

enum : int {
    playerStanding = 1,
    playerThrowing = 2,
    playerRunningRight = 3,
    playerRunningLeft = 4,
    playerCatchingChainsaw = 5,
    playerStrokeA = 6,
    playerStrokeB = 7,
    playerStrokeC = 8,
    playerDying = 9,
    playerDead = 10,
    playerReentering = 11,
};

enum : int { weaponEmpty = 1, weaponBall = 2, weaponChainsaw = 3 };
enum : int { facingNone = 0, facingLeft = 1, facingRight = 2 };

enum : int {
    climberFree = 0,
    climberWalking = 1,
    climberResting = 2,
    climberClimbing = 3,
    climberOverTheTop = 4,
    climberHunting = 5,
    climberStriking = 6,
    climberFalling = 7,
    climberCutDown = 8,
};

// climberDir
enum : int { dirUndecided = -1, dirRight = 0, dirLeft = 1 };

constexpr int escapeKey = 1;
constexpr int firstSupplyDelay = 123;
constexpr int leftSupplyStopX = 45;
constexpr int rightSupplyStopX = 583;
constexpr int chainsawCatchFrames = 18;
constexpr int smartBombRepeatFrames = 15;
// How close a climber must come to strike, and how far a chainsaw stroke reaches.
constexpr int strikeReach = 45;
constexpr int chainsawReach = 50;
// A stroke only cuts in its last frames, when the blade is down.
constexpr int cuttingFrames = 8;

// Frames until a side delivers its next ball after a pickup: more players share the supply,
// so it comes faster.
int resupplyDelay(int players);
// Whether a player at x stands where the left / right supply ball can be taken.
bool inLeftPickupZone(int x);
bool inRightPickupZone(int x);
// Points for the hits-th climber felled by one thrown ball (1-based), and the bonus label
// row shown for it (-1 for the first hit, which shows none).
int ballHitPoints(int hits);
int ballHitLabelRow(int hits);
// Whether a climber at climberX may strike a player at targetX: 45 pixels to the right,
// only 44 to the left.
bool withinStrikeReach(int climberX, int targetX);
// Whether a player at playerX facing `facing` reaches a climber at climberX with the blade.
bool withinChainsawReach(int playerX, int facing, int climberX);

// The climbers' step of the play frame: slots 0 to 9 in order.
void updateClimbers();
// The player a hunting climber at x goes for (nearest living, ties to the lower index,
// player 0 when none lives).
int chooseClimberTarget(int climberX);
// Takes a body part out of the engine and frees its slot.
void releaseBodyPart(int slot);
