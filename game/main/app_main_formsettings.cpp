#include "main/app_main_formsettings.h"

#include "interaction/qr_inta_bindings.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_joypad.h"
#include "interaction/qr_inta_keycodes.h"
#include "interaction/qr_inta_main.h"
#include "main/app_main_ini.h"
#include "main/app_main_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

constexpr int kConflictColumn = 3;
constexpr const char* kWaiting = "press a key or button...";

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1600, 900}, {1920, 1080}};
constexpr const char* kAntiAliasing[] = {"None", "2x", "4x", "8x", "16x"};

int mouseCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1000;
    case Qt::RightButton: return 1001;
    case Qt::MiddleButton: return 1002;
    case Qt::BackButton: return 1003;
    case Qt::ForwardButton: return 1004;
    default: return -1;
    }
}

} // namespace

TFormSettings::TFormSettings(QWidget* parent, APPMAINMain* application) : QDialog(parent), application_(application)
{
    setWindowTitle("Settings");
    auto* tabs = new QTabWidget(this);
    tabs->addTab(buildDisplayPage(), "Display");
    tabs->addTab(buildSoundPage(), "Sound");
    tabs->addTab(buildControlsPage(), "Controls");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    resize(760, 620);
}

TFormSettings::~TFormSettings()
{
    qApp->removeEventFilter(this);
}

QWidget* TFormSettings::buildDisplayPage()
{
    APPMAINIni* settings = application_->getSettings();
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);

    auto* size = new QComboBox;
    const QString current = QString("%1 x %2").arg(settings->getDisplayWidth()).arg(settings->getDisplayHeight());
    for (const Size& preset : kSizes)
        size->addItem(QString("%1 x %2").arg(preset.width).arg(preset.height), QSize(preset.width, preset.height));
    if (size->findText(current) < 0)
        size->addItem(current, QSize(settings->getDisplayWidth(), settings->getDisplayHeight()));
    size->setCurrentIndex(size->findText(current));
    connect(size, &QComboBox::currentIndexChanged, this, [this, size] {
        const QSize chosen = size->currentData().toSize();
        application_->getSettings()->setDisplaySize(chosen.width(), chosen.height());
        application_->applyDisplaySettings();
    });
    form->addRow("Window size:", size);

    const auto addCheck = [&](const char* label, bool on, void (APPMAINIni::*set)(bool)) {
        auto* check = new QCheckBox;
        check->setChecked(on);
        connect(check, &QCheckBox::toggled, this, [this, set](bool checked) {
            (application_->getSettings()->*set)(checked);
            application_->applyDisplaySettings();
        });
        form->addRow(label, check);
    };
    addCheck("Full screen:", settings->isFullscreen(), &APPMAINIni::setFullscreen);
    addCheck("V-sync:", settings->isVSyncEnabled(), &APPMAINIni::setVSyncEnabled);

    auto* antiAliasing = new QComboBox;
    for (const char* level : kAntiAliasing)
        antiAliasing->addItem(level);
    antiAliasing->setCurrentIndex(settings->getAntiAliasingLevel());
    connect(antiAliasing, &QComboBox::currentTextChanged, this, [this](const QString& level) {
        application_->getSettings()->setAntiAliasing(level.toStdString());
        application_->applyDisplaySettings();
    });
    form->addRow("Anti-aliasing:", antiAliasing);

    auto* anisotropy = new QSpinBox;
    anisotropy->setRange(0, 16);
    anisotropy->setSpecialValueText("Automatic");
    anisotropy->setValue(settings->getAnisotropy());
    connect(anisotropy, &QSpinBox::valueChanged, this, [this](int degree) {
        application_->getSettings()->setAnisotropy(degree);
        application_->applyDisplaySettings();
    });
    form->addRow("Anisotropic filtering:", anisotropy);

    auto* frameCap = new QSpinBox;
    frameCap->setRange(0, 1000);
    frameCap->setSpecialValueText("No cap");
    frameCap->setSuffix(" fps");
    frameCap->setValue(settings->getMaxFPS());
    connect(frameCap, &QSpinBox::valueChanged, this, [this](int fps) {
        application_->getSettings()->setMaxFPS(fps);
        application_->applyDisplaySettings();
    });
    form->addRow("Frame cap:", frameCap);
    addCheck("FPS counter:", settings->isShowFPS(), &APPMAINIni::setShowFPS);
    return page;
}

QWidget* TFormSettings::buildSoundPage()
{
    APPMAINIni* settings = application_->getSettings();
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const auto addVolume = [&](const char* label, int value, void (APPMAINIni::*set)(int)) {
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setValue(value);
        connect(slider, &QSlider::valueChanged, this, [this, set](int volume) {
            (application_->getSettings()->*set)(volume);
            application_->applyPlayerSettings();
        });
        form->addRow(label, slider);
    };
    addVolume("Master volume:", settings->getMasterVolume(), &APPMAINIni::setMasterVolume);
    addVolume("Effects volume:", settings->getEffectsVolume(), &APPMAINIni::setEffectsVolume);
    auto* mute = new QCheckBox;
    mute->setChecked(settings->isMuted());
    connect(mute, &QCheckBox::toggled, this, [this](bool muted) {
        application_->getSettings()->setMuted(muted);
        application_->applyPlayerSettings();
    });
    form->addRow("Mute:", mute);
    return page;
}

QWidget* TFormSettings::buildControlsPage()
{
    APPMAINIni* settings = application_->getSettings();
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    const auto addNumber = [&](const char* label, double value, double low, double high,
                               void (APPMAINIni::*set)(float)) {
        auto* spin = new QDoubleSpinBox;
        spin->setRange(low, high);
        spin->setSingleStep(0.05);
        spin->setDecimals(2);
        spin->setValue(value);
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this, set](double chosen) {
            (application_->getSettings()->*set)(static_cast<float>(chosen));
            application_->applyPlayerSettings();
        });
        form->addRow(label, spin);
    };
    addNumber("Mouse sensitivity:", settings->getMouseSensitivity(), 0.1, 5.0, &APPMAINIni::setMouseSensitivity);
    auto* invert = new QCheckBox;
    invert->setChecked(settings->isInvertY());
    connect(invert, &QCheckBox::toggled, this, [this](bool inverted) {
        application_->getSettings()->setInvertY(inverted);
        application_->applyPlayerSettings();
    });
    form->addRow("Invert Y:", invert);
    addNumber("Controller dead zone:", settings->getControllerDeadZone(), 0.0, 0.9, &APPMAINIni::setControllerDeadZone);

    bindings_ = new QTableWidget(0, 4);
    bindings_->setHorizontalHeaderLabels({"Input 1", "Input 2", "Input 3", "Shared with"});
    bindings_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    bindings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    bindings_->setSelectionMode(QAbstractItemView::NoSelection);
    bindings_->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(bindings_, 1);
    fillBindings();
    connect(bindings_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column < kConflictColumn)
            startCapture(row, column);
    });
    // A right click clears the slot.
    connect(bindings_, &QTableWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = bindings_->indexAt(at);
        if (!index.isValid() || index.column() >= kConflictColumn || captureRow_ >= 0)
            return;
        const auto& entries = application_->getBindings()->getEntries();
        application_->getBindings()->bind(entries[static_cast<std::size_t>(index.row())].action, index.column(), -1);
        bindingsChanged();
    });

    auto* reset = new QPushButton("Reset to Defaults");
    connect(reset, &QPushButton::clicked, this, [this] {
        application_->getBindings()->resetToDefaults();
        bindingsChanged();
    });
    layout->addWidget(reset, 0, Qt::AlignLeft);

    controllerPoll_ = new QTimer(this);
    controllerPoll_->setInterval(20);
    connect(controllerPoll_, &QTimer::timeout, this, [this] { pollControllers(); });
    return page;
}

void TFormSettings::fillBindings()
{
    const QRINTABindings* bindings = application_->getBindings();
    const auto& entries = bindings->getEntries();
    bindings_->setRowCount(static_cast<int>(entries.size()));
    QStringList names;
    for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
        const auto& entry = entries[static_cast<std::size_t>(row)];
        names << QString::fromStdString(entry.action);
        const QRINTABindings::Codes codes = bindings->getCodes(entry.action);
        for (int slot = 0; slot < 3; ++slot) {
            const bool waiting = row == captureRow_ && slot == captureSlot_;
            const std::string text = waiting ? kWaiting : QRINTABindings::codeName(codes[static_cast<std::size_t>(slot)]);
            bindings_->setItem(row, slot, new QTableWidgetItem(QString::fromStdString(text)));
        }
        QStringList conflicts;
        for (const std::string& other : bindings->findConflicts(entry.action))
            conflicts << QString::fromStdString(other);
        auto* conflict = new QTableWidgetItem(conflicts.join(", "));
        conflict->setForeground(QColor(200, 30, 30));
        bindings_->setItem(row, kConflictColumn, conflict);
    }
    bindings_->setVerticalHeaderLabels(names);
}

void TFormSettings::bindingsChanged()
{
    application_->getSettings()->saveBindings(*application_->getBindings());
    fillBindings();
}

void TFormSettings::startCapture(int row, int slot)
{
    captureRow_ = row;
    captureSlot_ = slot;
    // Keys and buttons go to the binding, not to the dialog's own controls.
    qApp->installEventFilter(this);
    controllerPoll_->start();
    fillBindings();
}

void TFormSettings::finishCapture(int code)
{
    qApp->removeEventFilter(this);
    controllerPoll_->stop();
    const int row = captureRow_;
    const int slot = captureSlot_;
    captureRow_ = captureSlot_ = -1;
    if (code >= 0) {
        const auto& entries = application_->getBindings()->getEntries();
        application_->getBindings()->bind(entries[static_cast<std::size_t>(row)].action, slot, code);
    }
    bindingsChanged();
}

void TFormSettings::pollControllers()
{
    QRINTAMain* input = qrInput();
    if (!input || captureRow_ < 0)
        return;
    QRINTADevices* devices = input->getDevices();
    for (int k = 0; k < devices->getJoypadCount(); ++k) {
        QRINTAJoypad* joypad = devices->getJoypad(k);
        joypad->poll();
        const int base = 2000 + 1000 * k;
        for (int n = 0; n < QRINTAJoypad::kButtonCount; ++n)
            if (joypad->isPressed(2000 + n))
                return finishCapture(base + n);
        for (int n : {QRINTAJoypad::kLeftTrigger, QRINTAJoypad::kRightTrigger})
            if (joypad->isPressed(2000 + n))
                return finishCapture(base + n);
    }
}

bool TFormSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (captureRow_ < 0)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Tab, Esc and Enter would otherwise move the focus or close the dialog.
        event->accept();
        return true;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            const int code = qrKeyCodeFromX11(key->nativeScanCode());
            if (code > 0)
                finishCapture(code);
        }
        return true;
    }
    case QEvent::MouseButtonPress:
        finishCapture(mouseCode(static_cast<QMouseEvent*>(event)->button()));
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::Wheel:
        finishCapture(static_cast<QWheelEvent*>(event)->angleDelta().y() > 0 ? 1111 : 1112);
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}
