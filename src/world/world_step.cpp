#include "actors/actor.h"
#include "input/controls.h"
#include "actors/scroller.h"
#include "actors/stage.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "screens/pause.h"
#include "screens/player_offer.h"
#include "screens/screens.h"
#include "world/world.h"

std::vector<GameEvent>* theEvents = nullptr;

namespace {

void updateScrollers() {
    Stage& stage = theStage;
    for (int slot = 0, seen = 0, count = stage.overlayCount;
         slot < Stage::maxOverlays && seen < count; ++slot) {
        Scroller* scroller = stage.overlays[slot];
        if (scroller == nullptr) continue;
        ++seen;
        if (scroller->isShown()) scroller->update();
    }
}

// The picture is drawn at this point of the frame: after the logic, before the actors move.
void recordPicture(FramePicture& picture) {
    const Stage& stage = theStage;
    picture.held = false;
    picture.count = 0;
    for (int slot = 0, seen = 0, count = stage.actorCount; slot < Stage::maxActors && seen < count;
         ++slot) {
        const Actor* actor = stage.actors[slot];
        if (actor == nullptr) continue;
        ++seen;
        if (!actor->isVisible()) continue;
        DrawnCell f;
        if (!actor->drawnCell(f) || f.sheet < 0) continue;
        picture.items[picture.count++] =
            DrawItem{actor->x() - f.hotX, actor->y() - f.hotY,
                     static_cast<int16_t>(f.cell), static_cast<uint8_t>(f.sheet),
                     static_cast<uint8_t>((f.mirrorX ? 1 : 0) | (f.mirrorY ? 2 : 0))};
    }
}

void moveActors() {
    const Stage& stage = theStage;
    for (int slot = 0, seen = 0, count = stage.actorCount; slot < Stage::maxActors && seen < count;
         ++slot) {
        Actor* actor = stage.actors[slot];
        if (actor == nullptr) continue;
        ++seen;
        // Children move with their parents, inside the parent's update.
        if (!actor->isAttached()) actor->update();
    }
}

void readInput(const FrameInput& input) {
    emitEvent(EventKind::inputRead);
    theControls.apply(input);
}

}  // namespace

void stepStage(const FrameInput& input, StepOutput& out) {
    std::vector<GameEvent>* outerEvents = theEvents;
    theEvents = &out.events;
    FramePicture* picture = out.picture;
    readInput(input);
    updateScrollers();
    if (theStage.orderChanged) {
        theStage.sortActors();
        theStage.orderChanged = false;
    }
    tickDelayedSounds();
    if (picture != nullptr) recordPicture(*picture);
    moveActors();
    theEvents = outerEvents;
}

void stepWorld(const FrameInput& input, StepOutput& out) {
    std::vector<GameEvent>* outerEvents = theEvents;
    theEvents = &out.events;
    ++game.frame;
    game.clock = input.clock;
    theBackdrop.beginStep();

    // The title's wait for a released fire button runs its frames back to back, with nothing
    // of the shell's between them.
    bool waiting = game.titleRelease == TitleRelease::waiting;
    if (!waiting) {
        updatePause();
        updatePlayerOffer(input.padsAnswering);
    }
    if (game.paused) {
        // Nothing moves; the screenshot button still works, and the last picture shows again.
        updateScreenshotButton();
        readInput(input);
        if (out.picture != nullptr) out.picture->held = true;
    } else if (waiting) {
        // Let go: the menu comes, and its first frame has the controls but no screen logic.
        if (updateTitleRelease()) updatePlayerControls();
        stepStage(input, out);
    } else {
        updateGame();
        // The frame that ends the title with fire held runs the engine alone, like the rest
        // of the wait.
        if (game.titleRelease == TitleRelease::none) updatePlayerControls();
        stepStage(input, out);
    }
    theEvents = outerEvents;
}
