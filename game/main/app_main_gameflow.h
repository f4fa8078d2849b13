#pragma once
// What surrounds play in game mode: pausing (the "Pause" action, a window losing focus) with its
// menu drawn over the frozen view, the end screen once every paper is collected, a new game, and
// the progress that is kept across runs. While play is frozen nothing in the world moves: no
// entity, particle or water runs and every sound holds. Owned by the application.

#include "core/qr_core_object.h"

#include <string>

class APPWRLDMain;
class APPMAINMenuOverlay;
class APPMAINProgressKeeper;
struct APPMAINMenuInput;

class APPMAINGameFlow : public QRObject {
public:
    // What the application does for the flow: the settings dialog and quitting need its window.
    enum class Request { None, Settings, Quit };
    // The bindings' context of the menu actions ("Menu Up", "Menu Down", "Menu Choose"), apart
    // from play's: a key may both jump and choose.
    static constexpr unsigned kMenuContext = 4u;
    enum PauseItem { Resume = 0, Settings = 1, NewGame = 2, Quit = 3 };
    enum EndItem { EndNewGame = 0, KeepExploring = 1 };

    APPMAINGameFlow(QRObject* owner, APPWRLDMain* world);
    ~APPMAINGameFlow() override;

    // Loads the overlays' font.
    void initialize() override;

    // Game mode starts on the level: notes the level, then resumes saved progress made on this world.
    void beginPlay();
    // Game mode ends (the editor takes over): the progress is saved and nothing stays frozen.
    void endPlay();
    // One logic frame in game mode, after the input update: the world runs unless play is frozen.
    Request update();
    // The pause menu or the end screen over the game view, when one is open.
    void render();

    void pause();
    void resume();
    bool isPaused() const;
    bool isEndShown() const;
    // Back to the level as designed, with the hero at his start and no time played.
    void newGame();
    // The end screen's other choice: play goes on and the end is not shown again.
    void keepExploring();
    bool save();

    APPMAINProgressKeeper* getProgress() const { return progress_.get(); }
    APPMAINMenuOverlay* getPauseMenu() const { return pauseMenu_.get(); }
    APPMAINMenuOverlay* getEndScreen() const { return endScreen_.get(); }

    // "1:02:03" or "2:03": the time played as the end screen shows it.
    static std::string formatTime(float seconds);

private:
    // Stops or restarts everything that moves without a logic step of its own: sounds and the
    // clock the water's shader runs on; the mouse is set free for the menu.
    void freeze(bool frozen);
    void showEnd();
    bool allPapersCollected() const;
    APPMAINMenuInput readMenuInput() const;

    APPWRLDMain* world_;
    QROwned<APPMAINProgressKeeper> progress_;
    QROwned<APPMAINMenuOverlay> pauseMenu_;
    QROwned<APPMAINMenuOverlay> endScreen_;
    bool frozen_ = false;
    int papersSeen_ = -1;
};
