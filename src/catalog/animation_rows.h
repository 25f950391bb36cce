#pragma once
#include "catalog/picture_files.h"

// The game's animation rows: which sheet cells each one shows and how it steps. The game
// builds its animations from this table at start-up and the asset generator draws exactly
// the cells it names, so the two can never disagree.

// Every row by name; the numbers are the table's order. In a pair the second row is the
// first mirrored left-right, except where the names say otherwise.
// clang-format off
enum AnimationRow : int {
    rowBombIcon1, rowBombIcon2, rowBombIcon3,  // smart-bomb icons of players 1 to 3
    rowRunLeft, rowRunRight,                   // running empty-handed
    rowStand,                                  // standing empty-handed
    rowMagazineLeft, rowMagazineRight,         // ball magazine, played once and held
    rowUnusedMagazine, rowUnusedMagazineMirrored,  // built but picked by nothing
    rowBall,
    rowRunLeftWithBall, rowRunRightWithBall,
    rowStandWithBall,
    rowThrow,
    rowClimberWalkInLeft, rowClimberWalkInRight,  // along the foot of the wall
    rowClimb1, rowClimb2, rowClimb3, rowClimb4,   // climbing, each type faster
    rowClimberOverTop,
    rowClimberWalkLeft, rowClimberWalkRight,      // on top of the wall
    rowClimberStrikeLeft, rowClimberStrikeRight,
    rowClimberFall,
    rowCallChainsaw,
    rowChainsawDrop,
    rowRunLeftWithChainsaw, rowRunRightWithChainsaw,
    rowStrokeALeft, rowStrokeARight,
    rowStrokeBLeft, rowStrokeBRight,
    rowStrokeCLeft, rowStrokeCRight,
    rowChainsawCaught,
    rowCutByStrokeA, rowCutByStrokeAMirrored,
    rowCutByStrokeC, rowCutByStrokeCMirrored,
    rowCutByStrokeB, rowCutByStrokeBMirrored,
    rowStandWithChainsawLeft, rowStandWithChainsawRight,
    rowLimbOfStrokeCMirrored, rowLimbOfStrokeC,  // flying off; the mirrored row comes first
    rowLimbOfStrokeAMirrored, rowLimbOfStrokeA,
    rowPlayerDying,
    rowMarker1, rowMarker2, rowMarker3,         // player markers
    rowLabel200, rowLabel400, rowLabel800,      // score labels
    rowStillDefender,                           // the title's figure
    animationRowCount
};
// clang-format on

// One row as authored: durations in authoring ticks (the build scales them by 0.65), skips,
// mirror flags (bit 0 left-right, bit 1 up-down), hot spots.
struct AnimationRowData {
    int sheet;
    int frameCount;
    int cells[16];
    int durations[16];
    int skips[16];
    int mirror[16];
    int hotX[16];
    int hotY[16];
};

extern const AnimationRowData animationRows[animationRowCount];
