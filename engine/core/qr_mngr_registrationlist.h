#pragma once
// The registry behind the object manager and the updateable-resources registry: object pointers in
// the order they were registered, with append, removal and lookup in constant time, because every
// object creation and destruction goes through it. Owned by the manager that keeps it; owns none
// of the objects.

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>
#include <vector>

template <class T>
class QRMNGRRegistrationList {
public:
    // Appends object, also when it is listed already.
    void append(T* object)
    {
        order_.push_back({object, nextSerial_++});
        index_.emplace(object, std::prev(order_.end()));
    }

    // Removes the earliest entry of object; false when it is not listed.
    bool remove(const T* object)
    {
        auto [first, last] = index_.equal_range(object);
        if (first == last)
            return false;
        // Objects register once, so this loop almost always sees a single entry.
        auto earliest = first;
        for (auto it = std::next(first); it != last; ++it)
            if (it->second->serial < earliest->second->serial)
                earliest = it;
        order_.erase(earliest->second);
        index_.erase(earliest);
        return true;
    }

    bool contains(const T* object) const { return index_.find(object) != index_.end(); }
    std::size_t size() const { return order_.size(); }
    bool empty() const { return order_.empty(); }

    // The objects in registration order, copied, so callers may create and destroy objects while
    // they walk them.
    std::vector<T*> snapshot(std::size_t limit = static_cast<std::size_t>(-1)) const
    {
        std::vector<T*> objects;
        objects.reserve(limit < order_.size() ? limit : order_.size());
        for (const Entry& entry : order_) {
            if (objects.size() >= limit)
                break;
            objects.push_back(entry.object);
        }
        return objects;
    }

    void clear()
    {
        index_.clear();
        order_.clear();
    }

private:
    struct Entry {
        T* object;
        std::uint64_t serial;
    };
    std::list<Entry> order_;
    std::unordered_multimap<const T*, typename std::list<Entry>::iterator> index_;
    std::uint64_t nextSerial_ = 0;
};
