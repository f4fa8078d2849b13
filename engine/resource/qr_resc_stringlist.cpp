#include "resource/qr_resc_stringlist.h"

#include "core/qr_util_strings.h"
#include "file/qr_file_file.h"
#include "file/qr_file_main.h"

#include <stdexcept>

QRRESCStringList::QRRESCStringList(QRObject* owner, bool allowDuplicates, bool allowEmpty)
    : QRRESCMain(owner, "Resource String List"), allowDuplicates_(allowDuplicates), allowEmpty_(allowEmpty)
{
}

QRRESCStringList::QRRESCStringList(QRObject* owner, const std::string& path)
    : QRRESCMain(owner, QRFILEMain::excludeLeadingSeparator(path)), pendingPath_(path)
{
}

void QRRESCStringList::afterCreate()
{
    // The managed object's afterCreate forgets the file name, so loading waits until it has run.
    QRRESCMain::afterCreate();
    if (!pendingPath_.empty())
        loadFromFile(std::exchange(pendingPath_, {}));
}

void QRRESCStringList::add(const std::string& text)
{
    if ((!allowDuplicates_ && contains(text)) || (!allowEmpty_ && text.empty()))
        return;
    strings_.push_back(text);
}

void QRRESCStringList::addAll(const QRRESCStringList& list)
{
    if (&list == this) {
        const auto copy = strings_;
        for (const auto& text : copy)
            add(text);
        return;
    }
    for (const auto& text : list.strings_)
        add(text);
}

const std::string& QRRESCStringList::get(int index) const
{
    if (index < 0 || index >= getCount())
        throw std::out_of_range("List index out of bounds (resource\\qr_resc_stringlist)");
    return strings_[static_cast<std::size_t>(index)];
}

int QRRESCStringList::indexOf(const std::string& text) const
{
    for (std::size_t i = 0; i < strings_.size(); ++i)
        if (QRUTILStrings::equals(strings_[i], text, false))
            return static_cast<int>(i);
    return -1;
}

void QRRESCStringList::saveToFile(const std::string& path)
{
    setFileName(path);
    QRFILEFile file(this, path, QRFileAccess::Write, QRFileType::Text);
    for (const auto& text : strings_)
        file.writeLine(text);
    file.close();
}

void QRRESCStringList::loadFromFile(const std::string& path)
{
    clear();
    const std::string relative = QRFILEMain::excludeLeadingSeparator(path);
    setFileName(relative);
    QRFILEFile file(this, relative, QRFileAccess::Read, QRFileType::Text);
    while (file.isOpen() && !file.isEndOfFile())
        add(file.readLine());
}

void QRRESCStringList::saveToStream(QRFILEFile& file)
{
    if (file.isBinary())
        file.write(static_cast<std::int32_t>(strings_.size()));
    for (const auto& text : strings_)
        file.write(text);
}

void QRRESCStringList::loadFromStream(QRFILEFile& file)
{
    clear();
    if (!file.isOpen())
        return;
    if (!file.isBinary()) {
        while (!file.isEndOfFile())
            add(file.readLine());
        return;
    }
    std::int32_t count = 0;
    if (!file.read(count))
        return;
    // A corrupt count cannot make this loop outlive the file: the first string that cannot be
    // read (reported by the file) ends it.
    for (std::int32_t i = 0; i < count; ++i) {
        std::string text;
        if (!file.read(text))
            return;
        add(text);
    }
}

void QRRESCStringList::assign(const QRObject& source)
{
    QRRESCMain::assign(source);
    if (const auto* list = dynamic_cast<const QRRESCStringList*>(&source); list && list != this) {
        clear();
        allowDuplicates_ = list->allowDuplicates_;
        allowEmpty_ = list->allowEmpty_;
        addAll(*list);
    }
}
