#include "editor/app_edit_formedit.h"

#include "editor/app_edit_cursor.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kClientWidth = 296;
constexpr int kClientHeight = 400;
constexpr int kTrackBarMaximum = 10;
constexpr int kTrackBarDefault = 2;

// The rotation buttons as a compass: grid row and column of each position.
struct CompassPoint {
    int degrees;
    int row;
    int column;
};
constexpr CompassPoint kCompass[] = {
    {0, 0, 1}, {45, 0, 2}, {90, 1, 2}, {135, 2, 2}, {180, 2, 1}, {225, 2, 0}, {270, 1, 0}, {315, 0, 0},
};

// The track bar with its value as a number beside it (named after the bar with "Value").
QSlider* addTrackBar(QVBoxLayout* layout, QWidget* page, const char* name, const char* label)
{
    layout->addWidget(new QLabel(label, page));
    auto* slider = new QSlider(Qt::Horizontal, page);
    slider->setObjectName(name);
    slider->setRange(0, kTrackBarMaximum);
    slider->setValue(kTrackBarDefault);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setPageStep(1);
    auto* value = new QLabel(QString::number(kTrackBarDefault), page);
    value->setObjectName(QString(name) + "Value");
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance("10") + 4);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QObject::connect(slider, &QSlider::valueChanged, value, [value](int number) { value->setNum(number); });
    auto* row = new QHBoxLayout;
    row->addWidget(slider, 1);
    row->addWidget(value);
    layout->addLayout(row);
    return slider;
}
} // namespace

const std::map<QString, int>& TFormEdit::toolButtons()
{
    static const std::map<QString, int> tools{
        {"BtnTerrainRaise", APPEDITCursor::RaiseTerrain},
        {"BtnTerrainLower", APPEDITCursor::LowerTerrain},
        {"BtnTerrainRough", APPEDITCursor::RoughenTerrain},
        {"BtnTerrainSmooth", APPEDITCursor::SmoothTerrain},
        {"BtnTerrainImportHeightmap", APPEDITCursor::ImportHeightmap},
        {"BtnGroundSet", APPEDITCursor::SetGroundType},
        {"BtnGroundStreetSet", APPEDITCursor::SetStreet},
        {"BtnGroundStreetDelete", APPEDITCursor::DeleteStreet},
        {"BtnGroundImportGroundMap", APPEDITCursor::ImportGroundmap},
        {"BtnEntityNew", APPEDITCursor::CreateEntity},
        {"BtnEntityEdit", APPEDITCursor::EditEntity},
        {"BtnEntityMove", APPEDITCursor::MoveEntity},
        {"BtnEntityRotate", APPEDITCursor::RotateEntity},
        {"BtnEntityPlaceOnGround", APPEDITCursor::PlaceOnGround},
        {"BtnEntityDelete", APPEDITCursor::DeleteEntity},
    };
    return tools;
}

TFormEdit::TFormEdit(QWidget* mainForm)
    : QWidget(mainForm, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint)
{
    setObjectName("FormEdit");
    setWindowTitle("Edit Tools");
    // Entering the editor leaves the keyboard with the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(QFont("Tahoma", 8));
    setFixedSize(kClientWidth, kClientHeight);

    pages_ = new QTabWidget(this);
    pages_->setObjectName("PCEdit");
    pages_->addTab(buildTerrainPage(), "Terrain Sculpting");
    pages_->addTab(buildGroundPage(), "Ground");
    QWidget* entities = buildEntitiesPage();
    pages_->addTab(entities, "Entities");
    pages_->setCurrentWidget(entities);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(pages_);
}

QToolButton* TFormEdit::addToolButton(QWidget* page, const char* name, const char* caption)
{
    auto* button = new QToolButton(page);
    button->setObjectName(name);
    button->setText(caption);
    button->setCheckable(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    buttons_[toolButtons().at(name)] = button;
    connect(button, &QToolButton::clicked, this, [this, button] { onToolButton(button); });
    return button;
}

QWidget* TFormEdit::buildTerrainPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    brushSize_ = addTrackBar(layout, page, "TBTerrainBrushSize", "Brush Size:");
    intensity_ = addTrackBar(layout, page, "TBTerrainIntensity", "Intensity:");
    layout->addWidget(addToolButton(page, "BtnTerrainRaise", "Raise Terrain"));
    layout->addWidget(addToolButton(page, "BtnTerrainLower", "Lower Terrain"));
    layout->addWidget(addToolButton(page, "BtnTerrainRough", "Make Rough"));
    layout->addWidget(addToolButton(page, "BtnTerrainSmooth", "Make Smooth"));
    layout->addWidget(addToolButton(page, "BtnTerrainImportHeightmap", "Import Heightmap for Block"));
    layout->addStretch();
    return page;
}

QWidget* TFormEdit::buildGroundPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel("Ground Type:", page));
    groundTypes_ = new QListWidget(page);
    groundTypes_->setObjectName("LBGroundType");
    groundTypes_->addItems({"Grass", "Concrete"});
    groundTypes_->setMaximumHeight(60);
    // Picking a ground type means painting it.
    connect(groundTypes_, &QListWidget::clicked, this, [this] { selectTool(APPEDITCursor::SetGroundType); });
    layout->addWidget(groundTypes_);
    layout->addWidget(addToolButton(page, "BtnGroundSet", "Set Ground Type"));
    layout->addWidget(addToolButton(page, "BtnGroundStreetSet", "Set Street"));
    layout->addWidget(addToolButton(page, "BtnGroundStreetDelete", "Delete Street"));
    layout->addWidget(addToolButton(page, "BtnGroundImportGroundMap", "Import Ground Map for Block"));
    layout->addStretch();
    return page;
}

QWidget* TFormEdit::buildEntitiesPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(3);

    entityPages_ = new QTabWidget(page);
    entityPages_->setObjectName("PCEntities");
    modelPage_ = new QWidget;
    auto* modelLayout = new QVBoxLayout(modelPage_);
    models_ = new QListWidget(modelPage_);
    models_->setObjectName("LBEnvironmentModels");
    modelLayout->addWidget(models_);
    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel("Random Rot:", modelPage_));
    randomOrientation_ = new QCheckBox(modelPage_);
    randomOrientation_->setObjectName("CBEntityRandomOrientation");
    options->addWidget(randomOrientation_);
    options->addWidget(new QLabel("Random Size:", modelPage_));
    randomSize_ = new QCheckBox(modelPage_);
    randomSize_->setObjectName("CBEntityRandomSize");
    options->addWidget(randomSize_);
    options->addStretch();
    modelLayout->addLayout(options);
    entityPages_->addTab(modelPage_, "Environment Models");

    auto* actorPage = new QWidget;
    auto* actorLayout = new QVBoxLayout(actorPage);
    actors_ = new QListWidget(actorPage);
    actors_->setObjectName("LBActors");
    actors_->addItems({"Kipster", "Ad", "Paper", "Coder Monkey"});
    actorLayout->addWidget(actors_);
    entityPages_->addTab(actorPage, "Actors");
    entityPages_->setCurrentWidget(modelPage_);
    // Picking what to create means creating it with the next click.
    connect(models_, &QListWidget::clicked, this, [this] { selectTool(APPEDITCursor::CreateEntity); });
    connect(actors_, &QListWidget::clicked, this, [this] { selectTool(APPEDITCursor::CreateEntity); });
    layout->addWidget(entityPages_, 1);

    auto* tools = new QGridLayout;
    tools->setSpacing(2);
    tools->addWidget(addToolButton(page, "BtnEntityNew", "Create new Entity"), 0, 0);
    tools->addWidget(addToolButton(page, "BtnEntityEdit", "Edit Entity"), 0, 1);
    tools->addWidget(addToolButton(page, "BtnEntityMove", "Move Entity"), 1, 0);
    tools->addWidget(addToolButton(page, "BtnEntityRotate", "Rotate"), 1, 1);
    tools->addWidget(addToolButton(page, "BtnEntityPlaceOnGround", "Place on Ground"), 2, 0);
    tools->addWidget(addToolButton(page, "BtnEntityDelete", "Delete"), 2, 1);
    layout->addLayout(tools);

    auto* manipulation = new QHBoxLayout;
    manipulation->addWidget(new QLabel("Manipulation Mode:", page));
    manipulationXZ_ = new QRadioButton("XZ", page);
    manipulationXZ_->setObjectName("RBManipulationXZ");
    manipulationXZ_->setChecked(true);
    auto* manipulationY = new QRadioButton("Y", page);
    manipulationY->setObjectName("RBManipulationY");
    manipulation->addWidget(manipulationXZ_);
    manipulation->addWidget(manipulationY);
    manipulation->addStretch();
    layout->addLayout(manipulation);

    auto* rotationBox = new QGroupBox("Rotation", page);
    auto* compass = new QGridLayout(rotationBox);
    compass->setContentsMargins(4, 2, 4, 2);
    compass->setVerticalSpacing(6);
    rotation_ = new QButtonGroup(rotationBox);
    for (const CompassPoint& point : kCompass) {
        auto* button = new QRadioButton(rotationBox);
        button->setObjectName(QString("RBRot%1").arg(point.degrees));
        rotation_->addButton(button, point.degrees);
        compass->addWidget(button, point.row, point.column, Qt::AlignCenter);
    }
    rotation_->button(0)->setChecked(true);
    layout->addWidget(rotationBox);
    return page;
}

void TFormEdit::onToolButton(QToolButton* button)
{
    // One group: a button that goes down lets every other one up; all may be up.
    if (button->isChecked())
        for (auto& [tool, other] : buttons_)
            if (other != button)
                other->setChecked(false);
    selectTool(toolButtons().at(button->objectName()));
}

void TFormEdit::selectTool(int tool)
{
    if (toolHandler_)
        toolHandler_(tool);
}

void TFormEdit::setToolDown(int tool)
{
    // "Place on Ground" is left to the group: it goes up only when another button goes down.
    QToolButton* placeOnGround = buttons_.at(APPEDITCursor::PlaceOnGround);
    for (auto& [buttonTool, button] : buttons_)
        if (button != placeOnGround)
            button->setChecked(buttonTool == tool);
    if (tool != APPEDITCursor::PlaceOnGround && buttons_.count(tool))
        placeOnGround->setChecked(false);
}

int TFormEdit::getBrushSize() const
{
    return brushSize_->value();
}

int TFormEdit::getIntensity() const
{
    return intensity_->value();
}

void TFormEdit::setBrushSize(int size)
{
    brushSize_->setValue(size);
}

void TFormEdit::setIntensity(int intensity)
{
    intensity_->setValue(intensity);
}

int TFormEdit::getGroundType() const
{
    return groundTypes_->currentRow();
}

void TFormEdit::selectGroundType(int index)
{
    groundTypes_->setCurrentRow(index);
}

bool TFormEdit::isEnvironmentModelsPageActive() const
{
    return entityPages_->currentWidget() == modelPage_;
}

void TFormEdit::setModelNames(const std::vector<std::string>& names)
{
    models_->setSortingEnabled(false);
    models_->clear();
    for (const std::string& name : names)
        models_->addItem(QString::fromStdString(name));
    models_->setSortingEnabled(true);
    models_->sortItems();
    models_->setCurrentRow(-1);
}

std::string TFormEdit::getSelectedModelName() const
{
    const QListWidgetItem* item = models_->currentItem();
    return item && item->isSelected() ? item->text().toStdString() : std::string();
}

bool TFormEdit::isRandomOrientation() const
{
    return randomOrientation_->isChecked();
}

bool TFormEdit::isRandomSize() const
{
    return randomSize_->isChecked();
}

int TFormEdit::getActor() const
{
    return actors_->currentRow();
}

void TFormEdit::selectActor(int index)
{
    actors_->setCurrentRow(index);
}

bool TFormEdit::isManipulationXZ() const
{
    return manipulationXZ_->isChecked();
}

int TFormEdit::getRotationPosition() const
{
    return std::max(rotation_->checkedId(), 0);
}

bool TFormEdit::isFocused() const
{
    // Not isActiveWindow(): styles may let a tool window share its parent's activation.
    return QApplication::activeWindow() == this;
}

void TFormEdit::showAt(int left, int top)
{
    move(left, top);
    show();
}

void TFormEdit::hideWindow()
{
    hide();
}

bool TFormEdit::isShown() const
{
    return isVisible();
}

int TFormEdit::getWidth() const
{
    return frameGeometry().width();
}

int TFormEdit::getHeight() const
{
    return frameGeometry().height();
}
