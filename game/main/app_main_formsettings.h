#pragma once
// The settings dialog ("Settings"), reached from the pause menu and the editor's View menu:
// display, sound and controls. Every change is saved to kipster.ini at once and applied where the
// engine can without a restart. A binding slot is changed by clicking it and then pressing a key,
// a mouse button or a controller button (a right click on a slot clears it); actions that now
// share an input are named beside them. Created by the main window for one showing.

#include <QDialog>

#include <vector>

class APPMAINMain;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

class TFormSettings : public QDialog {
public:
    TFormSettings(QWidget* parent, APPMAINMain* application);
    ~TFormSettings() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildDisplayPage();
    QWidget* buildSoundPage();
    QWidget* buildControlsPage();
    void fillBindings();
    // Waits for the next key, mouse button or controller button for the slot.
    void startCapture(int row, int slot);
    void finishCapture(int code);
    void pollControllers();
    void bindingsChanged();

    APPMAINMain* application_;
    QTableWidget* bindings_ = nullptr;
    QTimer* controllerPoll_ = nullptr;
    int captureRow_ = -1;
    int captureSlot_ = -1;
};
