#pragma once
// Pictures decoded ahead on a worker thread while the program goes on loading other things. The
// start-up hands over the files it will load (in the order it will need them); their bytes are
// read here, on the caller's thread, and decoded one after the other in the background.
// QRRESCImage2::loadFromFile takes the decode of its file, waiting for it if it still runs,
// instead of decoding again. Decodes nobody took are dropped by clear() and with the prefetch.
// Owned by whoever starts it (the world while it loads); reached through qrImagePrefetch().

#include "core/qr_core_object.h"
#include "resource/qr_resc_imagedecode.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QRRESCImagePrefetch : public QRObject {
public:
    explicit QRRESCImagePrefetch(QRObject* owner);
    ~QRRESCImagePrefetch() override;

    // Files that cannot be read are left to the normal load, which reports them.
    void start(const std::vector<std::string>& fileNames, bool flipForGL);
    // The decode of fileName with its rows in that order, once; nothing when none was started.
    std::optional<std::future<QRRESCDecodedImage>> take(const std::string& fileName, bool flipForGL);
    // Drops every decode not taken; one under way finishes in the background and is let go.
    void clear();

private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::map<std::uint32_t, std::pair<bool, std::future<QRRESCDecodedImage>>> decodes_;
    std::thread worker_;
};

// The prefetch while one lives, or null.
QRRESCImagePrefetch* qrImagePrefetch();
