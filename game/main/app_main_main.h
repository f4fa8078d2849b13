#pragma once
// The Kipster application object: on the first timer tick it builds every module the engine core
// does not own (rendering, input, sound, settings, game, editor), then runs the game or the editor
// each frame and switches the main window between game and editor mode. Created by the main window
// after the engine core; its destruction (when the main window closes) ends the process.

#include "core/qr_appl_main.h"

class TFormMain;
class QRINTAMain;
class QRINTABindings;
class QRBOOMMain;
class QRVISXMain;
class APPMAINIni;
class APPMAINFrameRate;
class APPGAMEMain;
class APPEDITMain;
class APPMAINGameFlow;

class APPMAINMain : public QRAPPLMain {
public:
    enum Mode { None = -1, Game = 0, Editor = 1 };

    explicit APPMAINMain(TFormMain* mainForm);
    // Logs two empty lines and ends the process with exit code 0.
    ~APPMAINMain() override;
    void initialize() override;
    void updateLogic() override;
    void render() override;
    // Writes what the player achieved before the program ends.
    void onQuit() override;
    // In game mode: the progress file gets what the player has achieved so far.
    void saveProgress();

    void toggleMode();
    void switchToGameMode();
    void switchToEditorMode();
    // From the editor: game mode with the hero standing at the editor's cursor (a hero made for
    // this run where the level has none); the editor gets the level back afterwards.
    void playFromHere();
    Mode getMode() const { return mode_; }
    // Sound volume, mouse and controller settings take effect at once.
    void applyPlayerSettings();
    // V-sync, antialiasing, anisotropy and, in game mode, the window or screen mode.
    void applyDisplaySettings();

    TFormMain* getMainForm() const { return mainForm_; }
    QRVISXMain* getVisual() const { return visual_.get(); }
    QRINTAMain* getInput() const { return input_.get(); }
    QRBOOMMain* getSound() const { return sound_.get(); }
    APPMAINIni* getSettings() const { return settings_.get(); }
    // The frame counter and cap; they follow the settings' ShowFPS and MaxFPS every frame.
    APPMAINFrameRate* getFrameRate() const { return frameRate_.get(); }
    APPGAMEMain* getGame() const { return game_.get(); }
    APPEDITMain* getEditor() const { return editor_.get(); }
    APPMAINGameFlow* getGameFlow() const { return flow_.get(); }
    QRINTABindings* getBindings() const { return bindings_.get(); }

private:
    void registerActions();
    // Unsaved edits kept from a run that did not end normally: restore or discard them.
    void offerRecovery();
    // Frames run only for the program in front, with its window on screen.
    bool mayRunFrame() const;
    void setMouseCaptured(bool captured);
    // Full screen or a centred window of the settings' size.
    void applyGameWindow();
    // The game's frame with pausing, the end screen and progress around it.
    void runGameFlow();

    TFormMain* mainForm_;
    Mode mode_ = None;
    Mode modeAtLastLogic_ = None;
    QROwned<QRVISXMain> visual_;
    QROwned<QRINTAMain> input_;
    QROwned<QRBOOMMain> sound_;
    QROwned<APPMAINIni> settings_;
    QROwned<APPMAINFrameRate> frameRate_;
    QROwned<APPGAMEMain> game_;
    QROwned<APPEDITMain> editor_;
    QROwned<APPMAINGameFlow> flow_;
    QROwned<QRINTABindings> bindings_;
    // Whether game mode has held the focus since it started (see initialize); the focus has
    // settled this long after a switch.
    static constexpr int kFocusSettleMilliseconds = 500;
    bool gameHadFocus_ = false;
};
