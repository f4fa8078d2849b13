#include "visual/gl/qr_visx_extensionmanager.h"

#include "core/qr_core_feedback.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "visual/gl/qr_visx_gl.h"

namespace {

// The loader spells core versions in capitals ("GL_VERSION_1_5").
std::string loaderName(const std::string& name)
{
    std::string result = name;
    if (const auto at = result.find("_version_"); at != std::string::npos)
        result.replace(at, 9, "_VERSION_");
    return result;
}

void showError(const std::string& text)
{
    if (auto* core = qrCore())
        core->getFeedback()->showError(text);
}

void logPlain(const std::string& text)
{
    if (auto* log = qrLog())
        log->logPlain(text);
}

} // namespace

QRVISXExtensionManager::QRVISXExtensionManager(QRObject* owner) : QRObject(owner, "QR VISX Extension Manager") {}

bool QRVISXExtensionManager::startLoader()
{
    if (loaderFailed_)
        return false;
    std::string error;
    if (qrGL().startExtensionLoader(error))
        return true;
    // Reported once; every later request simply finds nothing.
    loaderFailed_ = true;
    if (auto* log = qrLog())
        log->logError("The OpenGL extension loader could not start: " + error);
    return false;
}

bool QRVISXExtensionManager::loadExtension(const std::string& name, bool required)
{
    const bool present = startLoader() && qrGL().isExtensionSupported(loaderName(name));
    const std::string quoted = "\"" + name + "\"";
    if (present) {
        logPlain("Extension " + quoted + " loaded");
    } else if (required && !missingShown_) {
        // One box a run tells the user the driver lacks something; what else it lacks, the log
        // lists.
        missingShown_ = true;
        showError("GL Extension " + quoted + " not found!");
    } else if (required) {
        if (auto* log = qrLog())
            log->logError("GL Extension " + quoted + " not found!");
    } else
        logPlain("Extension " + quoted + " not found");
    return present;
}

bool QRVISXExtensionManager::isSupported(const std::string& name)
{
    return startLoader() && qrGL().isExtensionSupported(loaderName(name));
}

void QRVISXExtensionManager::initialize()
{
    glVersion_ = kInsufficient;
    loadExtension("GL_version_1_2", false);
    loadExtension("GL_version_1_3", false);
    loadExtension("GL_version_1_4", false);
    if (loadExtension("GL_version_1_5", false))
        glVersion_ = kGL15;
    if (loadExtension("GL_version_2_0", false))
        glVersion_ = kGL20;
    if (glVersion_ == kInsufficient) {
        missingShown_ = true;
        showError("A sufficient OpenGL Version could not be detected. QOR 2 needs at least OpenGL 1.5 to run!");
    } else if (auto* log = qrLog()) {
        log->logInformation(glVersion_ == kGL20 ? "Detected GL Version: 2.0" : "Detected GL Version: 1.5");
    }
}
