#include "main/app_main_iniwriter.h"

#include "core/qr_util_strings.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_file.h"
#include "file/qr_file_main.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::string_view trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool sameName(std::string_view a, std::string_view b)
{
    return QRUTILStrings::lowerCase(a) == QRUTILStrings::lowerCase(b);
}

// The section a "[Name]" line opens, or nothing for any other line.
bool sectionOf(std::string_view line, std::string_view& name)
{
    const std::string_view trimmed = trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']')
        return false;
    name = trim(trimmed.substr(1, trimmed.size() - 2));
    return true;
}

bool isKeyLine(std::string_view line, std::string_view key)
{
    const auto equals = line.find('=');
    return equals != std::string_view::npos && sameName(trim(line.substr(0, equals)), key);
}

} // namespace

std::string APPMAINIniWriter::setValue(std::string_view text, std::string_view section, std::string_view key,
                                       std::string_view value)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        start = end == std::string_view::npos ? text.size() : end + 1;
    }
    const bool crlf = !lines.empty() && !lines.front().empty() && lines.front().back() == '\r';
    const std::string entry = std::string(key) + " = " + std::string(value) + (crlf ? "\r" : "");

    bool inSection = false;
    bool replaced = false;
    std::size_t insertAt = std::string::npos;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (sectionOf(lines[i], name)) {
            inSection = sameName(name, section);
            if (inSection)
                insertAt = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (isKeyLine(lines[i], key)) {
            lines[i] = entry;
            replaced = true;
            break;
        }
        // New keys go after the section's last non-empty line.
        if (!trim(lines[i]).empty())
            insertAt = i + 1;
    }
    if (!replaced) {
        if (insertAt == std::string::npos) {
            if (!lines.empty() && !trim(lines.back()).empty())
                lines.emplace_back(crlf ? "\r" : "");
            lines.push_back("[" + std::string(section) + "]" + (crlf ? "\r" : ""));
            lines.push_back(entry);
        } else {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
        }
    }
    std::string result;
    for (const std::string& line : lines)
        result += line + "\n";
    return result;
}

bool APPMAINIniWriter::writeValue(const std::string& path, std::string_view section, std::string_view key,
                                  std::string_view value)
{
    QRFILEMain* files = qrFile();
    const std::string target = files ? files->absolutePath(path) : path;
    std::ostringstream text;
    if (std::ifstream in(qrdrive::nativePath(target), std::ios::binary); in)
        text << in.rdbuf();
    const std::string updated = setValue(text.str(), section, key, value);
    auto file = qrNew<QRFILEFile>(nullptr);
    if (!file->open(path, QRFileAccess::Write, QRFileType::Binary, true))
        return false;
    const bool written = file->write(static_cast<const void*>(updated.data()), static_cast<std::int64_t>(updated.size()));
    return file->close() && written;
}
