#include "main/app_main_frameguard.h"

#include "core/qr_core_log.h"

#include <exception>

void guardFrame(const std::string& failureLine, const std::function<void()>& step)
{
    std::string message;
    try {
        step();
        return;
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
    }
    if (auto* log = qrLog()) {
        log->logError(failureLine);
        if (!message.empty())
            log->logError(message);
    }
}
