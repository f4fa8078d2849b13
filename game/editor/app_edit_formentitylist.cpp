#include "editor/app_edit_formentitylist.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 420;
constexpr int kHeight = 480;
constexpr int kRefreshMilliseconds = 1000;
constexpr int kSerialRole = Qt::UserRole;
} // namespace

TFormEntityList::TFormEntityList(QWidget* mainForm) : QWidget(mainForm, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName("FormEntityList");
    setWindowTitle("Entity List");
    setFont(QFont("Tahoma", 8));
    resize(kWidth, kHeight);

    filter_ = new QLineEdit(this);
    filter_->setObjectName("EFilter");
    filter_->setPlaceholderText("type, model or position, e.g. paper");
    filter_->setClearButtonEnabled(true);
    list_ = new QTreeWidget(this);
    list_->setObjectName("LVEntities");
    list_->setColumnCount(3);
    list_->setHeaderLabels({"Type", "Model", "Position"});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Filter:", this));
    layout->addWidget(filter_);
    layout->addWidget(list_, 1);

    connect(filter_, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { choose(item); });
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { choose(item); });
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (isVisible())
            refresh();
    });
    timer_->start(kRefreshMilliseconds);
}

void TFormEntityList::setSource(Source source, Chooser chooser)
{
    source_ = std::move(source);
    chooser_ = std::move(chooser);
}

void TFormEntityList::toggle()
{
    if (isVisible()) {
        hide();
        return;
    }
    if (const QWidget* main = parentWidget())
        move(main->mapToGlobal(QPoint(20, 60)));
    show();
    refresh();
    filter_->setFocus();
}

void TFormEntityList::refresh()
{
    std::vector<Line> lines = source_ ? source_(filter_->text().toStdString()) : std::vector<Line>{};
    // Rebuilt only when something changed: the line being looked at keeps its place.
    if (lines == lines_ && list_->topLevelItemCount() == static_cast<int>(lines.size()))
        return;
    lines_ = std::move(lines);
    const std::uint64_t current =
        list_->currentItem() ? list_->currentItem()->data(0, kSerialRole).toULongLong() : std::uint64_t{0};
    list_->clear();
    for (const Line& line : lines_) {
        auto* item = new QTreeWidgetItem(list_, {QString::fromStdString(line.typeName), QString::fromStdString(line.modelName),
                                                 QString::fromStdString(line.position)});
        item->setData(0, kSerialRole, QVariant::fromValue<qulonglong>(line.serial));
        if (line.serial == current)
            list_->setCurrentItem(item);
    }
    list_->resizeColumnToContents(0);
}

void TFormEntityList::choose(QTreeWidgetItem* item)
{
    if (item && chooser_)
        chooser_(item->data(0, kSerialRole).toULongLong());
}
