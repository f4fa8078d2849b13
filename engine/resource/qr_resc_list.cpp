#include "resource/qr_resc_list.h"

#include <algorithm>
#include <stdexcept>

QRRESCList::QRRESCList(QRObject* owner, bool ownsObjects)
    : QRRESCMain(owner, "Resource List"), ownsObjects_(ownsObjects)
{
}

QRRESCList::~QRRESCList()
{
    clear();
}

void QRRESCList::add(QRObject* object)
{
    if (!object || (!allowDuplicates_ && contains(object)))
        return;
    items_.push_back(object);
}

void QRRESCList::addAll(const QRRESCList& list)
{
    for (QRObject* object : list.items_)
        add(object);
}

int QRRESCList::remove(QRObject* object)
{
    const int index = indexOf(object);
    if (index >= 0)
        deleteAt(index);
    return index;
}

void QRRESCList::deleteAt(int index)
{
    if (index < 0 || index > getLastIndex())
        return;
    QRObject* object = items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
    if (ownsObjects_)
        QRDestroy()(object);
}

void QRRESCList::clear()
{
    for (int index = getLastIndex(); index >= 0; --index)
        deleteAt(index);
}

QRObject* QRRESCList::get(int index) const
{
    if (index < 0 || index >= getCount())
        throw std::out_of_range("List index out of bounds (resource\\qr_resc_list)");
    return items_[static_cast<std::size_t>(index)];
}

QRObject* QRRESCList::findByName(std::string_view name) const
{
    const auto id = computeNameID(name);
    for (QRObject* object : items_)
        if (object->getID() == id)
            return object;
    return nullptr;
}

int QRRESCList::indexOf(const QRObject* object) const
{
    const auto found = std::find(items_.begin(), items_.end(), object);
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void QRRESCList::assign(const QRObject& source)
{
    QRRESCMain::assign(source);
    if (const auto* list = dynamic_cast<const QRRESCList*>(&source); list && list != this) {
        clear();
        allowDuplicates_ = list->allowDuplicates_;
        ownsObjects_ = false;
        addAll(*list);
    }
}
