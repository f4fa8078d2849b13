#include "resource/qr_resc_inifile.h"

#include "core/qr_core_log.h"
#include "core/qr_util_convert.h"
#include "core/qr_util_strings.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_stringlist.h"

namespace {
std::string quoted(const std::string& value)
{
    return "\"" + value + "\"";
}
} // namespace

QRRESCIniFile::QRRESCIniFile(QRObject* owner) : QRRESCMain(owner, "Ini File")
{
    sections_ = qrNew<QRRESCStringList>(this, false, false);
    keys_ = qrNew<QRRESCStringList>(this, false, false);
    values_ = qrNew<QRRESCStringList>(this, true, true);
}

QRRESCIniFile::QRRESCIniFile(QRObject* owner, const std::string& path) : QRRESCIniFile(owner)
{
    pendingPath_ = path;
}

QRRESCIniFile::~QRRESCIniFile() = default;

void QRRESCIniFile::afterCreate()
{
    // The managed object's afterCreate forgets the file name, so loading waits until it has run.
    QRRESCMain::afterCreate();
    if (!pendingPath_.empty())
        loadFromFile(std::exchange(pendingPath_, {}));
}

void QRRESCIniFile::clear()
{
    keys_->clear();
    values_->clear();
}

bool QRRESCIniFile::isEmpty() const
{
    return keys_->isEmpty();
}

int QRRESCIniFile::findKey(const std::string& section, const std::string& key) const
{
    return keys_->indexOf(section.empty() ? key : section + "." + key);
}

std::string QRRESCIniFile::readString(const std::string& section, const std::string& key,
                                      const std::string& defaultValue) const
{
    const int index = findKey(section, key);
    return index >= 0 ? values_->get(index) : defaultValue;
}

int QRRESCIniFile::readInt(const std::string& section, const std::string& key, int defaultValue) const
{
    const int index = findKey(section, key);
    return index >= 0 ? QRUTILConvert::toInt(values_->get(index)) : defaultValue;
}

bool QRRESCIniFile::readBool(const std::string& section, const std::string& key, bool defaultValue) const
{
    const int index = findKey(section, key);
    return index >= 0 ? QRUTILConvert::toBool(values_->get(index)) : defaultValue;
}

std::string QRRESCIniFile::nameInSection(const std::string& fullKey, const std::string& section)
{
    const std::size_t prefix = section.size() + 1;
    if (fullKey.size() <= prefix || fullKey[section.size()] != '.' ||
        !QRUTILStrings::equals(std::string_view(fullKey).substr(0, section.size()), section, false))
        return {};
    return fullKey.substr(prefix);
}

void QRRESCIniFile::readSection(const std::string& section, QRRESCStringList& list) const
{
    list.clear();
    if (!sections_->contains(section))
        return;
    for (int i = 0; i < keys_->getCount(); ++i)
        if (!nameInSection(keys_->get(i), section).empty())
            list.add(values_->get(i));
}

void QRRESCIniFile::addSection(const std::string& section)
{
    sections_->add(section);
}

void QRRESCIniFile::writeValue(const std::string& section, const std::string& key, const std::string& value)
{
    // Keys before the first section could be neither read nor saved, so they are not kept.
    if (section.empty() || !sections_->contains(section))
        return;
    const std::string fullKey = section + "." + key;
    if (keys_->contains(fullKey))
        return;
    keys_->add(fullKey);
    values_->add(value);
}

void QRRESCIniFile::appendValue(const std::string& section, const std::string& value)
{
    writeValue(section, QRUTILConvert::fromInt(countKeys(section)), value);
}

int QRRESCIniFile::countKeys(const std::string& section) const
{
    int count = 0;
    for (const auto& key : *keys_)
        if (!nameInSection(key, section).empty())
            ++count;
    return count;
}

void QRRESCIniFile::loadFromFile(const std::string& path)
{
    const std::string relative = QRFILEMain::excludeLeadingSeparator(path);
    setFileName(relative);
    clear();
    auto* files = qrFile();
    if (!files || !files->fileExists(relative, false))
        return;
    auto lines = qrNew<QRRESCStringList>(this, true, true);
    lines->loadFromFile(relative);
    if (auto* log = qrLog())
        log->logInformation("Loading Ini File: \"" + relative + "\"");

    std::string section;
    auto tokens = qrNew<QRRESCStringList>(this, true, false);
    for (const auto& line : *lines) {
        QRUTILStrings::tokenizeInto(*tokens, line, "", "\"", "=[]", " \t");
        const int count = tokens->getCount();
        if (count == 3 && tokens->get(0) == "[" && tokens->get(2) == "]") {
            section = tokens->get(1);
            addSection(section);
        }
        if (count >= 3 && tokens->get(1) == "=")
            writeValue(section, tokens->get(0), tokens->get(2));
        else if (count == 1)
            appendValue(section, tokens->get(0));
    }
}

void QRRESCIniFile::saveToFile(const std::string& path)
{
    setFileName(path);
    auto lines = qrNew<QRRESCStringList>(this, true, true);
    lines->add("");
    lines->add("");
    for (const auto& section : *sections_) {
        lines->add("[" + section + "]");
        for (int i = 0; i < keys_->getCount(); ++i) {
            const std::string name = nameInSection(keys_->get(i), section);
            if (name.empty())
                continue;
            const std::string& value = values_->get(i);
            if (QRUTILConvert::isInt(name))
                lines->add(quoted(value));
            else if (QRUTILConvert::isInt(value) || QRUTILConvert::isBoolWord(value) || QRUTILConvert::isFloat(value))
                lines->add(name + " = " + value);
            else
                lines->add(name + " = " + quoted(value));
        }
        lines->add("");
        lines->add("");
    }
    if (auto* log = qrLog())
        log->logInformation("Saving Ini File: \"" + path + "\"");
    lines->saveToFile(path);
}
