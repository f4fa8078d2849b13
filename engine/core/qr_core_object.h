#pragma once
// The root of every engine and game class: a name with its 32-bit name ID and a non-owning owner.
// Every object created while the manager hub is up registers with the object manager so that
// objects still alive at shut-down can be reported as leaks.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

// Case-insensitive hash of a name; a leading "\" is ignored, so "abc" and "\ABC" are the same name.
std::uint32_t computeNameID(std::string_view text);

class QRObject {
public:
    struct TObjectAttributes {
        std::string name;
        std::uint32_t id = 0;
        QRObject* owner = nullptr;
    };

    explicit QRObject(QRObject* owner);
    QRObject(QRObject* owner, std::string_view name);
    virtual ~QRObject();
    QRObject(const QRObject&) = delete;
    QRObject& operator=(const QRObject&) = delete;

    // Runs once after the whole constructor chain (see qrNew).
    virtual void afterCreate() {}
    // Second-phase start-up, called by the owner after construction.
    virtual void initialize() {}
    // Called when destruction begins and once more by the root destructor; must tolerate both.
    virtual void beforeDestroy() {}
    virtual void assign(const QRObject& source);

    void setName(std::string_view name);
    const std::string& getName() const { return attributes_.name; }
    std::uint32_t getID() const { return attributes_.id; }
    QRObject* getOwner() const { return attributes_.owner; }
    std::string getClassName() const;
    std::string getDescription() const;

    void logWarning(std::string_view methodName, std::string_view message) const;
    void logDebug(std::string_view message) const;
    void reportError(std::string_view methodName, std::string_view message) const;

private:
    void registerSelf();
    TObjectAttributes attributes_;
};

// Destroys an engine object the way the engine expects: the pre-destruction hook first.
struct QRDestroy {
    void operator()(QRObject* object) const;
};

template <class T>
using QROwned = std::unique_ptr<T, QRDestroy>;

// Every engine object is created through here so that afterCreate runs on the finished object.
template <class T, class... Args>
QROwned<T> qrNew(Args&&... args)
{
    QROwned<T> object(new T(std::forward<Args>(args)...));
    object->afterCreate();
    return object;
}
