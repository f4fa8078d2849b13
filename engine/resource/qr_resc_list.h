#pragma once
// The engine's ordered list of objects. An owning list destroys what it removes; a unique list
// ignores objects it already holds.

#include "resource/qr_resc_main.h"

#include <vector>

class QWidget;

class QRRESCList : public QRRESCMain {
public:
    QRRESCList(QRObject* owner, bool ownsObjects);
    ~QRRESCList() override;

    void add(QRObject* object);
    void addAll(const QRRESCList& list);
    // Takes the object out (destroying it when owning); -1 when absent.
    int remove(QRObject* object);
    void deleteAt(int index);
    void clear() override;
    bool isEmpty() const override { return items_.empty(); }

    // Throws std::out_of_range "List index out of bounds" outside 0..count-1.
    QRObject* get(int index) const;
    QRObject* findByName(std::string_view name) const;
    int indexOf(const QRObject* object) const;
    bool contains(const QRObject* object) const { return indexOf(object) >= 0; }
    int getCount() const { return static_cast<int>(items_.size()); }
    int getLastIndex() const { return getCount() - 1; }

    void setAllowDuplicates(bool allow) { allowDuplicates_ = allow; }
    bool getAllowDuplicates() const { return allowDuplicates_; }
    void setOwnsObjects(bool owns) { ownsObjects_ = owns; }
    bool getOwnsObjects() const { return ownsObjects_; }

    // Fills a list box (QListWidget, keeping its top row and selection) or a combo box (keeping its
    // selection) with the items' names, after a "none" entry when asked.
    void fillListControl(QWidget* control, bool withNone) const;

    // Copies the flags and the items; a copy never owns the items too, which would destroy them twice.
    void assign(const QRObject& source) override;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<QRObject*> items_;
    bool allowDuplicates_ = false;
    bool ownsObjects_;
};
