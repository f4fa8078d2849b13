#pragma once
// The "Entity List" tool window: every entity of the level with its type, model and position, a
// filter field that keeps the lines holding every typed word, and a click on a line that chooses
// the entity and flies the editor camera to it. It holds no logic: the lines come from, and the
// choice goes to, the functions it is given. Created with the main window, which owns it.

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class TFormEntityList : public QWidget {
public:
    struct Line {
        std::uint64_t serial = 0;
        std::string typeName;
        std::string modelName;
        std::string position;
        bool operator==(const Line&) const = default;
    };
    using Source = std::function<std::vector<Line>(const std::string& filter)>;
    using Chooser = std::function<void(std::uint64_t serial)>;

    explicit TFormEntityList(QWidget* mainForm);

    void setSource(Source source, Chooser chooser);
    // Shown beside the main window's left edge, or hidden.
    void toggle();
    // Reads the lines again (also every second while shown, so edits show up).
    void refresh();

private:
    void choose(QTreeWidgetItem* item);

    Source source_;
    Chooser chooser_;
    std::vector<Line> lines_;
    QLineEdit* filter_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QTimer* timer_ = nullptr;
};
