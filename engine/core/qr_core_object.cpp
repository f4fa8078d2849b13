#include "core/qr_core_object.h"

#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "core/qr_mngr_main.h"
#include "core/qr_mngr_objectmanager.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

std::uint32_t computeNameID(std::string_view text)
{
    if (!text.empty() && text.front() == '\\')
        text.remove_prefix(1);
    const std::uint32_t length = static_cast<std::uint32_t>(text.size());
    std::uint32_t sum = 0;
    std::uint64_t multiplier = 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        // ASCII letters only, as the name comparisons do: the locale's tolower would also fold
        // accented letters under a single-byte locale, giving names that compare different one ID.
        auto byte = static_cast<unsigned char>(*it);
        if (byte >= 'A' && byte <= 'Z')
            byte = static_cast<unsigned char>(byte - 'A' + 'a');
        const std::int64_t c = static_cast<std::int64_t>(byte) - 32;
        sum += static_cast<std::uint32_t>(static_cast<std::uint64_t>(c) * multiplier);
        multiplier *= 63;
    }
    return ((length % 16) << 28) | (sum & 0x0FFFFFFFu);
}

QRObject::QRObject(QRObject* owner) : QRObject(owner, {}) {}

QRObject::QRObject(QRObject* owner, std::string_view name)
{
    setName(name);
    attributes_.owner = owner;
    registerSelf();
}

QRObject::~QRObject()
{
    QRObject::beforeDestroy();
    if (auto* hub = qrManagers(); hub && hub->getObjectManager())
        hub->getObjectManager()->unregisterObject(this);
}

void QRObject::registerSelf()
{
    if (auto* hub = qrManagers(); hub && hub->getObjectManager())
        hub->getObjectManager()->registerObject(this);
}

void QRObject::assign(const QRObject& source)
{
    attributes_ = source.attributes_;
}

void QRObject::setName(std::string_view name)
{
    attributes_.name = std::string(name);
    attributes_.id = computeNameID(name);
}

std::string QRObject::getClassName() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string result = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    return result;
}

std::string QRObject::getDescription() const
{
    return "Object: " + getName() + " (Class: " + getClassName() + " ID:" + std::to_string(getID()) + ")";
}

void QRObject::logWarning(std::string_view /*methodName*/, std::string_view message) const
{
    if (auto* log = qrLog())
        log->logWarning(getDescription() + ": " + std::string(message));
}

void QRObject::logDebug(std::string_view message) const
{
    if (auto* log = qrLog())
        log->logDebug(std::string(message));
}

void QRObject::reportError(std::string_view methodName, std::string_view message) const
{
    QRCOREMain::reportErrorFrom(getName(), getClassName(), message, methodName);
}

void QRDestroy::operator()(QRObject* object) const
{
    if (!object)
        return;
    object->beforeDestroy();
    delete object;
}
