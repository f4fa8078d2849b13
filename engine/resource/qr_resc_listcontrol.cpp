// The list's one contact with the window framework, kept apart so that the list itself stays free
// of widgets.
#include "resource/qr_resc_list.h"

#include <QComboBox>
#include <QListWidget>

namespace {
QStringList entriesOf(const QRRESCList& list, bool withNone)
{
    QStringList entries;
    if (withNone)
        entries << "none";
    for (const QRObject* object : list)
        entries << QString::fromStdString(object->getName());
    return entries;
}
} // namespace

void QRRESCList::fillListControl(QWidget* control, bool withNone) const
{
    if (auto* listBox = qobject_cast<QListWidget*>(control)) {
        const QListWidgetItem* top = listBox->itemAt(0, 0);
        const int topRow = top ? listBox->row(top) : -1;
        const int selected = listBox->currentRow();
        listBox->clear();
        listBox->addItems(entriesOf(*this, withNone));
        if (topRow >= 0 && topRow < listBox->count())
            listBox->scrollToItem(listBox->item(topRow), QAbstractItemView::PositionAtTop);
        if (selected < listBox->count())
            listBox->setCurrentRow(selected);
    } else if (auto* comboBox = qobject_cast<QComboBox*>(control)) {
        const int selected = comboBox->currentIndex();
        comboBox->clear();
        comboBox->addItems(entriesOf(*this, withNone));
        if (selected < comboBox->count())
            comboBox->setCurrentIndex(selected);
    }
}
