#include "editor/app_edit_formentity.h"

#include "editor/app_edit_attributecheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int kClientWidth = 400;
constexpr int kClientHeight = 287;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLineEdit* addEdit(QWidget* page, const char* name)
{
    auto* edit = new QLineEdit(page);
    edit->setObjectName(name);
    return edit;
}

// A field beside a note that the area files do not keep its value: it lasts until the program ends.
QWidget* notKept(QWidget* page, QWidget* field)
{
    auto* row = new QWidget(page);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field, 1);
    auto* note = new QLabel("not saved in the area file", row);
    note->setEnabled(false);
    layout->addWidget(note);
    return row;
}
} // namespace

TFormEntity::TFormEntity(QWidget* mainForm) : QDialog(mainForm)
{
    setObjectName("FormEntity");
    setWindowTitle("Entity Attributes");
    setFont(QFont("Tahoma", 8));
    setFixedSize(kClientWidth, kClientHeight);

    pages_ = new QTabWidget(this);
    pages_->setObjectName("PCEntity");

    auto* main = new QWidget;
    auto* mainLayout = new QFormLayout(main);
    mainLayout->addRow("Name", notKept(main, addEdit(main, "EMainName")));
    auto* position = new QHBoxLayout;
    for (const char* name : {"EMainPositionX", "EMainPositionY", "EMainPositionZ"})
        position->addWidget(addEdit(main, name));
    mainLayout->addRow("Position:", position);
    mainLayout->addRow("Size:", addEdit(main, "EMainSize"));
    pages_->addTab(main, "Main");

    auto* actor = new QWidget;
    auto* actorLayout = new QFormLayout(actor);
    actorLayout->addRow("Health:", notKept(actor, addEdit(actor, "EActorHealth")));
    auto* targetable = new QCheckBox(actor);
    targetable->setObjectName("CBActorTargetable");
    actorLayout->addRow("Targetable:", notKept(actor, targetable));
    pages_->addTab(actor, "Actor");

    auto* scenery = new QWidget;
    auto* sceneryLayout = new QFormLayout(scenery);
    auto* model = new QComboBox(scenery);
    model->setObjectName("CBEnvironmentModelModel");
    model->setEditable(false);
    sceneryLayout->addRow("Model:", model);
    pages_->addTab(scenery, "EnvironmentModel");

    pages_->addTab(new QWidget, "Character");

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok_->setObjectName("OK");
    ok_->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    message_ = new QLabel(this);
    message_->setObjectName("LMessage");
    QPalette warning = message_->palette();
    warning.setColor(QPalette::WindowText, Qt::darkRed);
    message_->setPalette(warning);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, this, [this] { validate(); });
}

void TFormEntity::validate()
{
    std::string fault;
    for (const QLineEdit* edit : findChildren<QLineEdit*>()) {
        // Fields of hidden pages are not the entity's and are not read back.
        int page = -1;
        for (const QWidget* up = edit->parentWidget(); up && page < 0; up = up->parentWidget())
            page = pages_->indexOf(up);
        if (page < 0 || !pages_->isTabVisible(page))
            continue;
        fault = APPEDITAttributeCheck::check(edit->objectName().toStdString(), edit->text().toStdString());
        if (!fault.empty())
            break;
    }
    message_->setText(QString::fromStdString(fault));
    ok_->setEnabled(fault.empty());
}

int TFormEntity::tabIndex(std::string_view tab) const
{
    const QString text = toQString(tab);
    for (int i = 0; i < pages_->count(); ++i)
        if (pages_->tabText(i) == text)
            return i;
    return -1;
}

void TFormEntity::hideAllTabs()
{
    for (int i = 0; i < pages_->count(); ++i)
        pages_->setTabVisible(i, false);
}

void TFormEntity::showTab(std::string_view tab)
{
    const int index = tabIndex(tab);
    if (index < 0)
        return;
    pages_->setTabVisible(index, true);
    // The first page shown is the one in front.
    if (!pages_->isTabVisible(pages_->currentIndex()))
        pages_->setCurrentIndex(index);
}

bool TFormEntity::isTabShown(std::string_view tab) const
{
    const int index = tabIndex(tab);
    return index >= 0 && pages_->isTabVisible(index);
}

void TFormEntity::setText(std::string_view control, const std::string& text)
{
    const QString name = toQString(control);
    if (auto* edit = findChild<QLineEdit*>(name))
        edit->setText(QString::fromStdString(text));
    else if (auto* list = findChild<QComboBox*>(name))
        list->setCurrentIndex(list->findText(QString::fromStdString(text), Qt::MatchExactly));
}

std::string TFormEntity::getText(std::string_view control) const
{
    const QString name = toQString(control);
    if (const auto* edit = findChild<QLineEdit*>(name))
        return edit->text().toStdString();
    if (const auto* list = findChild<QComboBox*>(name))
        return list->currentIndex() < 0 ? std::string() : list->currentText().toStdString();
    return {};
}

void TFormEntity::setChecked(std::string_view control, bool checked)
{
    if (auto* box = findChild<QCheckBox*>(toQString(control)))
        box->setChecked(checked);
}

bool TFormEntity::isChecked(std::string_view control) const
{
    const auto* box = findChild<QCheckBox*>(toQString(control));
    return box && box->isChecked();
}

void TFormEntity::setItems(std::string_view control, const std::vector<std::string>& items)
{
    auto* list = findChild<QComboBox*>(toQString(control));
    if (!list)
        return;
    list->clear();
    for (const std::string& item : items)
        list->addItem(QString::fromStdString(item));
    list->setCurrentIndex(-1);
}

bool TFormEntity::showModal()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    validate();
    return exec() == QDialog::Accepted;
}
