#include "resource/qr_resc_imageprefetch.h"

#include "file/qr_file_file.h"
#include "file/qr_file_main.h"

#include <memory>

namespace {
QRRESCImagePrefetch* current = nullptr;
} // namespace

QRRESCImagePrefetch* qrImagePrefetch()
{
    return current;
}

QRRESCImagePrefetch::QRRESCImagePrefetch(QRObject* owner)
    : QRObject(owner, "Image Prefetch"), worker_([this] { work(); })
{
    current = this;
}

QRRESCImagePrefetch::~QRRESCImagePrefetch()
{
    if (current == this)
        current = nullptr;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    worker_.join();
}

void QRRESCImagePrefetch::start(const std::vector<std::string>& fileNames, bool flipForGL)
{
    if (!qrFile())
        return;
    for (const std::string& fileName : fileNames) {
        auto read = QRFILEFile::readWhole(this, fileName, false);
        if (!read)
            continue;
        auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::move(*read));
        auto decode = std::make_shared<std::packaged_task<QRRESCDecodedImage()>>(
            [bytes, flipForGL] { return qrrescDecodeImage(*bytes, flipForGL); });
        decodes_[QRFILEMain::fileNameID(fileName)] = {flipForGL, decode->get_future()};
        {
            std::lock_guard lock(mutex_);
            jobs_.emplace_back([decode] { (*decode)(); });
        }
        wake_.notify_one();
    }
}

std::optional<std::future<QRRESCDecodedImage>> QRRESCImagePrefetch::take(const std::string& fileName, bool flipForGL)
{
    const auto found = decodes_.find(QRFILEMain::fileNameID(fileName));
    if (found == decodes_.end() || found->second.first != flipForGL)
        return std::nullopt;
    std::future<QRRESCDecodedImage> decode = std::move(found->second.second);
    decodes_.erase(found);
    return decode;
}

void QRRESCImagePrefetch::clear()
{
    // A decode under way finishes on its own and its picture is let go with its task.
    {
        std::lock_guard lock(mutex_);
        jobs_.clear();
    }
    decodes_.clear();
}

void QRRESCImagePrefetch::work()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}
