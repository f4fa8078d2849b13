#include "main/app_main_gameflow.h"

#include "core/qr_core_log.h"
#include "core/qr_time_main.h"
#include "entities/app_entt_main.h"
#include "entities/app_entt_kip.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_main.h"
#include "interaction/qr_inta_mouse.h"
#include "main/app_main_menuoverlay.h"
#include "main/app_main_progresskeeper.h"
#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_main.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_hud.h"
#include "world/app_wrld_main.h"

#include <algorithm>
#include <cmath>

namespace {

bool justPressed(const char* name)
{
    QRINTAMain* input = qrInput();
    const QRINTAAction* action = input ? input->getActions()->findAction(name) : nullptr;
    return action && action->isJustPressed();
}

QRINTAMouse* mouse()
{
    QRINTAMain* input = qrInput();
    return input ? input->getDevices()->getMouse() : nullptr;
}

} // namespace

APPMAINGameFlow::APPMAINGameFlow(QRObject* owner, APPWRLDMain* world)
    : QRObject(owner, "Game Flow"),
      world_(world),
      progress_(qrNew<APPMAINProgressKeeper>(this, world)),
      pauseMenu_(qrNew<APPMAINMenuOverlay>(this, "Pause Menu")),
      endScreen_(qrNew<APPMAINMenuOverlay>(this, "End Screen"))
{
}

APPMAINGameFlow::~APPMAINGameFlow() = default;

void APPMAINGameFlow::initialize()
{
    QRObject::initialize();
    pauseMenu_->initialize();
    endScreen_->initialize();
}

void APPMAINGameFlow::beginPlay()
{
    progress_->takeInventory();
    const bool resumed = progress_->resume();
    if (auto* log = qrLog())
        log->logInformation(resumed ? "Play begins where the player left it" : "Play begins on the level");
}

void APPMAINGameFlow::endPlay()
{
    progress_->save();
    pauseMenu_->close();
    endScreen_->close();
    freeze(false);
}

bool APPMAINGameFlow::isPaused() const
{
    return pauseMenu_->isOpen();
}

bool APPMAINGameFlow::isEndShown() const
{
    return endScreen_->isOpen();
}

void APPMAINGameFlow::pause()
{
    if (isPaused())
        return;
    endScreen_->close();
    pauseMenu_->open("Paused", {}, {"Resume", "Settings", "New Game", "Quit"});
    freeze(true);
}

void APPMAINGameFlow::resume()
{
    pauseMenu_->close();
    freeze(isEndShown());
}

void APPMAINGameFlow::freeze(bool frozen)
{
    if (frozen == frozen_)
        return;
    frozen_ = frozen;
    if (QRBOOMMain* sound = qrSound())
        sound->getChannels()->setAllPaused(frozen);
    if (QRTIMEMain* time = qrTime())
        time->setTotalTimeHeld(frozen);
    if (QRINTAMouse* pointer = mouse()) {
        pointer->setCaptureMouse(!frozen);
        pointer->showCursor(frozen);
    }
}

APPMAINMenuInput APPMAINGameFlow::readMenuInput() const
{
    APPMAINMenuInput input;
    input.up = justPressed("Menu Up");
    input.down = justPressed("Menu Down");
    input.choose = justPressed("Menu Choose");
    input.click = justPressed("Left Mouse");
    if (const QRINTAMouse* pointer = mouse()) {
        const auto [x, y] = pointer->getCursorView();
        input.cursor = {x, y};
        input.cursorMoved = pointer->getMotionX() != 0 || pointer->getMotionY() != 0;
    }
    return input;
}

APPMAINGameFlow::Request APPMAINGameFlow::update()
{
    const bool pausePressed = justPressed("Pause");
    if (isEndShown()) {
        switch (endScreen_->update(readMenuInput())) {
        case EndNewGame:
            newGame();
            break;
        case KeepExploring:
            keepExploring();
            break;
        default:
            break;
        }
        return Request::None;
    }
    if (!isPaused()) {
        if (pausePressed) {
            pause();
            return Request::None;
        }
        world_->update();
        if (const QRTIMEMain* time = qrTime())
            progress_->advance(time->getDelta());
        // Only a paper collected can end the game.
        const APPENTTKip* kip = world_->getEntities()->getKip();
        const int papers = kip ? kip->getPapersCollected() : 0;
        if (papers != papersSeen_) {
            papersSeen_ = papers;
            if (!progress_->isFinished() && allPapersCollected())
                showEnd();
        }
        return Request::None;
    }
    if (pausePressed) {
        resume();
        return Request::None;
    }
    switch (pauseMenu_->update(readMenuInput())) {
    case Resume:
        resume();
        break;
    case Settings:
        return Request::Settings;
    case NewGame:
        newGame();
        break;
    case Quit:
        return Request::Quit;
    default:
        break;
    }
    return Request::None;
}

void APPMAINGameFlow::render()
{
    pauseMenu_->render();
    endScreen_->render();
}

bool APPMAINGameFlow::allPapersCollected() const
{
    const APPWRLDEntities* entities = world_->getEntities();
    const APPENTTKip* kip = entities->getKip();
    if (!kip || kip->getPapersCollected() == 0)
        return false;
    // A collected paper has left the world.
    for (int i = 0; i < entities->getEntityCount(); ++i)
        if (entities->getEntity(i)->getTypeName() == "Paper")
            return false;
    return true;
}

void APPMAINGameFlow::showEnd()
{
    const APPENTTKip* kip = world_->getEntities()->getKip();
    pauseMenu_->close();
    endScreen_->open("Every paper is collected!",
                     {"Time taken: " + formatTime(progress_->getTimePlayed()),
                      "Level reached: " + APPENTTKip::levelTitle(kip ? kip->getLevel() : 0)},
                     {"New Game", "Keep Exploring"});
    freeze(true);
    progress_->save();
}

void APPMAINGameFlow::newGame()
{
    APPWRLDEntities* entities = world_->getEntities();
    // The level as designed comes back whole, and play starts on it afresh.
    entities->endPlay();
    entities->beginPlay();
    if (APPENTTKip* kip = entities->getKip())
        kip->placeCamera();
    if (APPWRLDHUD* hud = world_->getHUD()) {
        hud->setPapersCollected(0);
        hud->resetHealth(entities->getKip() ? entities->getKip()->getHealth() : 100);
        hud->setLevelTitle(APPENTTKip::levelTitle(0));
    }
    progress_->forget();
    progress_->takeInventory();
    pauseMenu_->close();
    endScreen_->close();
    freeze(false);
}

void APPMAINGameFlow::keepExploring()
{
    progress_->setFinished(true);
    endScreen_->close();
    freeze(isPaused());
}

bool APPMAINGameFlow::save()
{
    return progress_->save();
}

std::string APPMAINGameFlow::formatTime(float seconds)
{
    const long total = std::lround(std::max(0.0f, seconds));
    const long hours = total / 3600;
    const long minutes = total / 60 % 60;
    const long rest = total % 60;
    const auto two = [](long value) { return (value < 10 ? "0" : "") + std::to_string(value); };
    if (hours > 0)
        return std::to_string(hours) + ":" + two(minutes) + ":" + two(rest);
    return std::to_string(minutes) + ":" + two(rest);
}
