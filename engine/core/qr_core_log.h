#pragma once
// The engine log: every line ever logged, written line by line to log.html (or log.txt) in the
// program folder. Owned by the engine core; lives from the first to the last step of the core.

#include "core/qr_core_object.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

enum class QRLogKind : std::int32_t { Plain = 0, Information = 1, Warning = 2, Error = 3, Debug = 4, Separator = 5 };

struct QRCORELogLine {
    QRLogKind kind = QRLogKind::Plain;
    std::string text;
    std::chrono::system_clock::time_point timeStamp;
};

class QRCORELog : public QRObject {
public:
    // Creates (or truncates) the log file in programFolder at once; falls back to memory silently.
    QRCORELog(QRObject* owner, const std::filesystem::path& programFolder, bool htmlOutput = true);
    ~QRCORELog() override;

    void logPlain(const std::string& text) { addLine(QRLogKind::Plain, text); }
    void logInformation(const std::string& text) { addLine(QRLogKind::Information, text); }
    void logWarning(const std::string& text) { addLine(QRLogKind::Warning, text); }
    void logError(const std::string& text) { addLine(QRLogKind::Error, text); }
    void logDebug(const std::string& text) { addLine(QRLogKind::Debug, text); }
    void logEmptyLine() { addLine(QRLogKind::Plain, {}); }
    void logSeparator() { addLine(QRLogKind::Separator, {}); }

    void flush();
    void clearLines();
    // Writes what is held back and the footer, and lets the file go, for a process that ends
    // without destroying the log. Lines logged afterwards stay in memory only.
    void close();

    // A new file stem or output form moves the log to that file in the program folder: the old
    // document is closed, the new one is created and receives every line written so far.
    void setFileStem(const std::string& stem);
    void setHtmlOutput(bool html);
    const std::string& getFileStem() const { return fileStem_; }
    bool isHtmlOutput() const { return html_; }
    void setFlushThreshold(int threshold) { flushThreshold_ = threshold; }
    void setHold(bool hold) { hold_ = hold; }
    void setWriteDebugLines(bool write) { writeDebugLines_ = write; }

    const std::vector<QRCORELogLine>& getLines() const { return lines_; }
    // The file being written, empty when logging fell back to memory.
    const std::filesystem::path& getFilePath() const { return filePath_; }

private:
    // Creates stem.html or stem.txt (memory when it cannot), with the header in HTML form.
    void openDocument();
    // Writes the footer in HTML form and lets the file go.
    void closeDocument();
    void moveDocument(const std::string& stem, bool html);
    void addLine(QRLogKind kind, const std::string& text);
    void writeLine(const QRCORELogLine& line);
    void writeRaw(const std::string& text);

    std::unique_ptr<std::ostream> stream_;
    std::filesystem::path programFolder_;
    std::filesystem::path filePath_;
    std::string fileStem_ = "log";
    std::vector<QRCORELogLine> lines_;
    int pending_ = 0;
    bool html_ = true;
    int flushThreshold_ = 1;
    bool hold_ = false;
    bool writeDebugLines_ = true;
};

// The core's log, or null when no core exists.
QRCORELog* qrLog();
