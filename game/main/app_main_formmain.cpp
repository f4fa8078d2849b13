#include "main/app_main_formmain.h"

#include "core/qr_core_main.h"
#include "core/qr_util_convert.h"
#include "editor/app_edit_formedit.h"
#include "editor/app_edit_formentity.h"
#include "editor/app_edit_formentitylist.h"
#include "editor/app_edit_main.h"
#include "editor/app_edit_mapexport.h"
#include "environment/app_envr_block.h"
#include "main/app_game_main.h"
#include "main/app_main_formsettings.h"
#include "main/app_main_main.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {

APPMAINMain* application()
{
    return dynamic_cast<APPMAINMain*>(qrApplication());
}

APPEDITMain* editor()
{
    auto* main = application();
    return main ? main->getEditor() : nullptr;
}

// Titled apart from the main window, which tests and scripts find by its title "Kipster".
QMessageBox::StandardButton ask(QWidget* parent, const QString& title, const QString& text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton preset)
{
    QMessageBox box(QMessageBox::Question, title, text, buttons, parent);
    box.setDefaultButton(preset);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

TFormMain::TFormMain() : panelView_(new QWidget(this))
{
    // Qt shows "[*]" as "*" while the window is marked modified and drops it otherwise.
    setWindowTitle("Kipster[*]");
    panelView_->setObjectName("PanelView");
    panelView_->setAutoFillBackground(true);
    QPalette black = panelView_->palette();
    black.setColor(QPalette::Window, Qt::black);
    panelView_->setPalette(black);
    setCentralWidget(panelView_);
    buildMenu();
    buildStatusBar();
    // The editor's windows live as long as this one; the editor shows them in editor mode.
    formEdit_ = new TFormEdit(this);
    formEntity_ = new TFormEntity(this);
    formEntityList_ = new TFormEntityList(this);
    connectEntityList();

    resize(642, 516);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // Both live until the frame driver's shut-down handler destroys them when this window closes.
    qrNew<QRCOREMain>(this, 2).release();
    qrNew<APPMAINMain>(this).release();
    // Installed after the frame driver's own filter, so it sees a close request first.
    installEventFilter(this);
}

void TFormMain::buildMenu()
{
    menu_ = new QMenuBar(this);
    setMenuBar(menu_);

    QMenu* file = menu_->addMenu("File");
    QAction* saveWorld = file->addAction("Save World");
    saveWorld->setShortcut(QKeySequence("Ctrl+Alt+S"));
    connect(saveWorld, &QAction::triggered, this, [] {
        if (auto* target = editor())
            target->saveWorld();
    });
    QAction* saveArea = file->addAction("Save Area");
    saveArea->setShortcut(QKeySequence("Ctrl+S"));
    connect(saveArea, &QAction::triggered, this, [] {
        if (auto* target = editor())
            target->saveArea();
    });
    QAction* exportHeightmap = file->addAction("Export Height Map");
    connect(exportHeightmap, &QAction::triggered, this,
            [this] { exportMap(APPENVRBlock::kHeightmapFile, &APPEDITMain::exportHeightmap); });
    QAction* exportGroundmap = file->addAction("Export Ground Map");
    connect(exportGroundmap, &QAction::triggered, this,
            [this] { exportMap(APPENVRBlock::kGroundmapFile, &APPEDITMain::exportGroundmap); });
    file->addSeparator();
    // Esc is only shown here: a real shortcut would swallow the key before the "Quit" action sees it.
    QAction* quit = file->addAction("Quit\tEsc");
    connect(quit, &QAction::triggered, this, [this] {
        if (auto* main = application(); main && confirmQuit())
            main->requestQuit();
    });

    QMenu* edit = menu_->addMenu("Edit");
    undo_ = edit->addAction("Undo");
    undo_->setShortcut(QKeySequence("Ctrl+Z"));
    connect(undo_, &QAction::triggered, this, [] {
        if (auto* target = editor())
            target->undo();
    });
    redo_ = edit->addAction("Redo");
    redo_->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    connect(redo_, &QAction::triggered, this, [] {
        if (auto* target = editor())
            target->redo();
    });
    edit->addSeparator();
    const std::pair<const char*, const char*> entityCommands[] = {{"Duplicate", "Ctrl+D"}, {"Copy", "Ctrl+C"}, {"Paste", "Ctrl+V"}};
    for (const auto& [caption, keys] : entityCommands) {
        QAction* command = edit->addAction(caption);
        command->setShortcut(QKeySequence(keys));
        command->setAutoRepeat(false);
        connect(command, &QAction::triggered, this, [name = std::string(caption)] {
            APPEDITMain* target = editor();
            if (!target)
                return;
            if (name == "Duplicate")
                target->duplicateSelection();
            else if (name == "Copy")
                target->copySelection();
            else
                target->paste();
        });
    }

    QMenu* editorMenu = menu_->addMenu("Editor");
    snapToGrid_ = editorMenu->addAction("Snap to Grid");
    snapToGrid_->setCheckable(true);
    snapToGrid_->setShortcut(QKeySequence("Alt+G"));
    QAction* frame = editorMenu->addAction("Frame Selection");
    frame->setShortcut(QKeySequence(Qt::Key_F));
    connect(frame, &QAction::triggered, this, [] {
        if (auto* target = editor())
            target->frameSelection();
    });
    editorMenu->addSeparator();
    struct BrushStep {
        const char* caption;
        const char* keys;
        int size;
        int intensity;
    };
    // Shift with the brackets gives the braces on most layouts.
    const BrushStep brushSteps[] = {{"Smaller Brush", "[", -1, 0}, {"Larger Brush", "]", 1, 0},
                                    {"Weaker Brush", "{", 0, -1}, {"Stronger Brush", "}", 0, 1}};
    for (const BrushStep& step : brushSteps) {
        QAction* command = editorMenu->addAction(step.caption);
        command->setShortcuts({QKeySequence(step.keys), QKeySequence(QString("Shift+") + step.keys)});
        connect(command, &QAction::triggered, this, [size = step.size, intensity = step.intensity] {
            if (auto* target = editor())
                target->stepBrush(size, intensity);
        });
    }

    QMenu* mode = menu_->addMenu("Mode");
    QAction* switchMode = mode->addAction("Switch Game Mode");
    switchMode->setShortcut(QKeySequence(Qt::Key_F5));
    // Holding F5 must switch once, not at the keyboard's repeat rate.
    switchMode->setAutoRepeat(false);
    connect(switchMode, &QAction::triggered, this, [] {
        if (auto* main = application())
            main->toggleMode();
    });
    QAction* playHere = mode->addAction("Play from Here");
    playHere->setShortcut(QKeySequence("Ctrl+F5"));
    playHere->setAutoRepeat(false);
    connect(playHere, &QAction::triggered, this, [] {
        if (auto* main = application())
            main->playFromHere();
    });

    QMenu* view = menu_->addMenu("View");
    QAction* tools = view->addAction("Display Editor Tools");
    tools->setShortcut(QKeySequence(Qt::Key_F2));
    tools->setAutoRepeat(false);
    connect(tools, &QAction::triggered, this, [] {
        if (auto* target = editor())
            target->toggleTools();
    });
    QAction* entityList = view->addAction("Entity List");
    entityList->setShortcut(QKeySequence("Ctrl+F"));
    entityList->setAutoRepeat(false);
    connect(entityList, &QAction::triggered, this, [this] { formEntityList_->toggle(); });
    QAction* settings = view->addAction("Settings...");
    connect(settings, &QAction::triggered, this, [this] { showSettings(); });

    // The edit-tools window belongs to the editor: the menu's shortcuts work while it has the keyboard.
    for (QAction* menuAction : menu_->actions())
        for (QAction* item : menuAction->menu()->actions())
            item->setShortcutContext(Qt::ApplicationShortcut);
    setMenuAttached(false);
}

void TFormMain::buildStatusBar()
{
    const std::array<std::pair<const char*, int>, 3> panels = {{{"Position: 0.00, 0.00", 200}, {"Entities: 0", 100}, {"", 50}}};
    for (std::size_t i = 0; i < panels.size(); ++i) {
        statusPanels_[i] = new QLabel(panels[i].first, statusBar());
        statusPanels_[i]->setMinimumWidth(panels[i].second);
        statusBar()->addWidget(statusPanels_[i], i + 1 == panels.size() ? 1 : 0);
    }
    statusBar()->hide();
}

void TFormMain::connectEntityList()
{
    formEntityList_->setSource(
        [](const std::string& filter) {
            std::vector<TFormEntityList::Line> lines;
            if (const APPEDITMain* target = editor())
                for (const APPEDITEntityRow& row : target->listEntities(filter))
                    lines.push_back({row.serial, row.typeName, row.modelName, QRUTILConvert::fromVector3(row.position)});
            return lines;
        },
        [](std::uint64_t serial) {
            if (auto* target = editor())
                target->flyTo(serial);
        });
}

void TFormMain::setMenuAttached(bool attached)
{
    menu_->setVisible(attached);
    // The entity list belongs to the editor, like its menu.
    if (!attached && formEntityList_)
        formEntityList_->hide();
    // A detached menu must not keep its shortcuts: in game mode F5 belongs to the "Change Mode" action.
    for (QAction* menuAction : menu_->actions())
        for (QAction* item : menuAction->menu()->actions())
            item->setEnabled(attached);
    setUndoState(canUndo_, canRedo_);
}

void TFormMain::setUndoState(bool canUndo, bool canRedo)
{
    canUndo_ = canUndo;
    canRedo_ = canRedo;
    // In game mode every menu shortcut stays off.
    const bool attached = !menu_->isHidden();
    undo_->setEnabled(attached && canUndo);
    redo_->setEnabled(attached && canRedo);
}

bool TFormMain::isMenuAttached() const
{
    return menu_->isVisible();
}

void TFormMain::setStatusText(int panel, const QString& text)
{
    if (panel >= 0 && panel < static_cast<int>(statusPanels_.size()))
        statusPanels_[static_cast<std::size_t>(panel)]->setText(text);
}

void TFormMain::setStatusText(int panel, const std::string& text)
{
    setStatusText(panel, QString::fromStdString(text));
}

QString TFormMain::getStatusText(int panel) const
{
    if (panel < 0 || panel >= static_cast<int>(statusPanels_.size()))
        return {};
    return statusPanels_[static_cast<std::size_t>(panel)]->text();
}

bool TFormMain::isSnapToGrid() const
{
    return snapToGrid_->isChecked();
}

bool TFormMain::isViewUnderMouse() const
{
    // An open menu lies over the view: the mouse is on its items, not on the world.
    if (QApplication::activePopupWidget())
        return false;
    return panelView_->rect().contains(panelView_->mapFromGlobal(QCursor::pos()));
}

void TFormMain::setWorldModified(bool modified)
{
    setWindowModified(modified);
}

void TFormMain::exportMap(const char* fileName, bool (APPEDITMain::*write)())
{
    APPEDITMain* target = editor();
    if (!target)
        return;
    if (APPEDITMapExport::exists(fileName) &&
        ask(this, "Export", QString("Replace \"%1\"?").arg(QString::fromStdString(APPEDITMapExport::locate(fileName))),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    (target->*write)();
}

bool TFormMain::confirmQuit()
{
    // What the player achieved is written before the level may be given back for saving.
    if (auto* main = application())
        main->saveProgress();
    APPEDITMain* target = editor();
    if (quitConfirmed_ || !target || !target->hasUnsavedEdits())
        return true;
    switch (ask(this, "Save Changes", "Save changes to the world?", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Yes)) {
    case QMessageBox::Yes:
        // Saving writes the level, never what play made of it.
        if (auto* main = application(); main && main->getMode() == APPMAINMain::Game)
            main->getGame()->getWorld()->getEntities()->endPlay();
        target->saveWorld();
        // An area that could not be written was reported; quitting now would lose its edits.
        if (target->hasUnsavedEdits())
            return false;
        break;
    case QMessageBox::No:
        target->getRecovery()->discard();
        break;
    default:
        return false;
    }
    quitConfirmed_ = true;
    return true;
}

void TFormMain::showSettings()
{
    auto* main = application();
    if (!main)
        return;
    // Shown between frames: the dialog's own event loop keeps the frames running meanwhile.
    QTimer::singleShot(0, this, [this, main] {
        TFormSettings settings(this, main);
        settings.exec();
    });
}

bool TFormMain::askRestoreRecovery(int areaCount)
{
    const QString text = QString("Edits of %1 area(s) were not saved when the program last ended; copies of them were "
                                 "kept in the \"recovery\" folder.\n\nRestore them?")
                             .arg(areaCount);
    return ask(this, "Recovery", text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::Close && !confirmQuit()) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
