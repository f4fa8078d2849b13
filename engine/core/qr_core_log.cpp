#include "core/qr_core_log.h"

#include "core/qr_core_main.h"

#include <fstream>
#include <sstream>

namespace {

const std::string kSeparator(42, '-');
const char* const kLineBreak = "\r\n";

const char* htmlClass(QRLogKind kind)
{
    switch (kind) {
    case QRLogKind::Information: return " class = \"information\"";
    case QRLogKind::Warning: return " class = \"warning\"";
    case QRLogKind::Error: return " class = \"error\"";
    case QRLogKind::Debug: return " class = \"debug\"";
    default: return "";
    }
}

const char* textPrefix(QRLogKind kind)
{
    switch (kind) {
    case QRLogKind::Information: return "[INFORMATION] ";
    case QRLogKind::Warning: return "[WARNING] ";
    case QRLogKind::Error: return "[ERROR] ";
    case QRLogKind::Debug: return "[DEBUG] ";
    default: return "";
    }
}

const char* const kHeader[] = {
    "<html>",
    "",
    "<head>",
    "<style type=\"text/css\">",
    "div     { font-family: Courier New; color:#000000; font-size: 10pt; line-height: 16px; white-space: pre; }",
    ".information { color:#0000DD; }",
    ".warning     { color:#DDDD00; }",
    ".error       { color:#FF0000; }",
    ".debug       { color:#0000DD; }",
    "</style>",
    "</head>",
    "",
    "<body>",
    "",
};

} // namespace

QRCORELog::QRCORELog(QRObject* owner, const std::filesystem::path& programFolder, bool htmlOutput)
    : QRObject(owner, "QR CORE Log"), programFolder_(programFolder), html_(htmlOutput)
{
    openDocument();
}

QRCORELog::~QRCORELog()
{
    flush();
    closeDocument();
}

void QRCORELog::openDocument()
{
    const auto path = programFolder_ / (fileStem_ + "." + (html_ ? "html" : "txt"));
    auto file = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
    if (file->is_open()) {
        stream_ = std::move(file);
        filePath_ = path;
    } else {
        stream_ = std::make_unique<std::ostringstream>();
        filePath_.clear();
    }
    if (html_)
        for (const char* line : kHeader)
            writeRaw(std::string(line) + kLineBreak);
    stream_->flush();
}

void QRCORELog::close()
{
    flush();
    closeDocument();
}

void QRCORELog::closeDocument()
{
    if (!stream_)
        return;
    if (html_)
        writeRaw(std::string(kLineBreak) + "</body>" + kLineBreak + "</html>" + kLineBreak);
    stream_->flush();
    stream_.reset();
}

void QRCORELog::setFileStem(const std::string& stem)
{
    if (stem != fileStem_)
        moveDocument(stem, html_);
}

void QRCORELog::setHtmlOutput(bool html)
{
    if (html != html_)
        moveDocument(fileStem_, html);
}

void QRCORELog::moveDocument(const std::string& stem, bool html)
{
    closeDocument();
    fileStem_ = stem;
    html_ = html;
    openDocument();
    // Lines still held back stay pending and reach the new file with the next flush.
    const auto written = lines_.size() - static_cast<std::size_t>(pending_);
    for (std::size_t i = 0; i < written; ++i)
        writeLine(lines_[i]);
    stream_->flush();
}

void QRCORELog::addLine(QRLogKind kind, const std::string& text)
{
    lines_.push_back({kind, text, std::chrono::system_clock::now()});
    ++pending_;
    if (pending_ >= flushThreshold_ && !hold_)
        flush();
}

void QRCORELog::flush()
{
    const auto first = lines_.size() - static_cast<std::size_t>(pending_);
    for (auto i = first; i < lines_.size(); ++i)
        writeLine(lines_[i]);
    pending_ = 0;
    if (stream_)
        stream_->flush();
}

void QRCORELog::clearLines()
{
    lines_.clear();
    pending_ = 0;
}

void QRCORELog::writeLine(const QRCORELogLine& line)
{
    if (line.kind == QRLogKind::Debug && !writeDebugLines_)
        return;
    if (html_) {
        std::string body = line.kind == QRLogKind::Separator ? kSeparator : line.text.empty() ? "&nbsp;" : line.text;
        writeRaw(std::string("<div") + htmlClass(line.kind) + ">" + body + "</div>" + kLineBreak);
    } else {
        std::string body = line.kind == QRLogKind::Separator ? kSeparator : textPrefix(line.kind) + line.text;
        writeRaw(body + kLineBreak);
    }
}

void QRCORELog::writeRaw(const std::string& text)
{
    if (stream_)
        stream_->write(text.data(), static_cast<std::streamsize>(text.size()));
}

QRCORELog* qrLog()
{
    auto* core = qrCore();
    return core ? core->getLog() : nullptr;
}
