#include "world/app_wrld_models.h"

#include "core/qr_core_log.h"
#include "core/qr_util_strings.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_inifile.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/geometry/qr_visx_model.h"

#include <algorithm>

namespace {

// A hostile list may name thousands of missing files; the error names only the first few.
constexpr int kMissingNamesShown = 10;
// Names in messages are cut to this length.
constexpr std::size_t kNameShown = 200;

std::string shown(const std::string& name)
{
    return "\"" + (name.size() > kNameShown ? name.substr(0, kNameShown) + "..." : name) + "\"";
}

} // namespace

APPWRLDModels::APPWRLDModels(QRObject* owner) : QRObject(owner, "Environment Models List") {}

APPWRLDModels::~APPWRLDModels() = default;

void APPWRLDModels::initialize()
{
    loadList(kListFile);
}

void APPWRLDModels::loadList(const std::string& path)
{
    auto* files = qrFile();
    if (!files)
        return;
    // The list is optional content: without it the game still runs and loads models on demand,
    // so its absence is worth a log line, not an error box at every start.
    if (!files->fileExists(path, false)) {
        logWarning("loadList", "No model list " + shown(path) + ": models are loaded when first asked for");
        return;
    }
    auto ini = qrNew<QRRESCIniFile>(this, path);
    auto names = qrNew<QRRESCStringList>(this, true, false);
    ini->readSection("MODELS", *names);

    std::vector<std::string> missing;
    std::vector<std::string> unsafe;
    for (const auto& name : *names) {
        if (!staysInProgramFolder(name)) {
            unsafe.push_back(name);
            continue;
        }
        const std::string key = comparable(name);
        // Checked here without reporting, so that a list naming many missing files gives one
        // error instead of one box per entry.
        if (!hasFailed(key, name) && !files->fileExists(name, false)) {
            markFailed(key, name);
            missing.push_back(name);
            continue;
        }
        getModel(name);
    }

    const auto listed = [](const std::vector<std::string>& entries) {
        std::string text;
        const int count = static_cast<int>(entries.size());
        for (int i = 0; i < std::min(count, kMissingNamesShown); ++i)
            text += (i > 0 ? ", " : "") + shown(entries[static_cast<std::size_t>(i)]);
        if (count > kMissingNamesShown)
            text += " and " + std::to_string(count - kMissingNamesShown) + " more";
        return text;
    };
    if (!missing.empty())
        reportError("loadList", "The model list " + shown(path) + " names " + std::to_string(missing.size()) +
                                    " model files that do not exist: " + listed(missing));
    if (!unsafe.empty())
        reportError("loadList", "The model list " + shown(path) + " names " + std::to_string(unsafe.size()) +
                                    " paths outside the program folder, which are not loaded: " + listed(unsafe));
    if (auto* log = qrLog())
        log->logInformation("Environment models loaded: " + std::to_string(models_.size()));
}

QRVISXModel* APPWRLDModels::getModel(std::string_view nameOrPath)
{
    const std::string key = comparable(nameOrPath);
    if (key.empty())
        return nullptr;
    for (auto& model : models_)
        if (QRUTILStrings::equals(model->getName(), nameOrPath, false) || comparable(model->getFileName()) == key)
            return model.get();
    const std::string path(nameOrPath);
    if (hasFailed(key, path))
        return nullptr;
    return loadModel(path);
}

QRVISXModel* APPWRLDModels::loadModel(const std::string& path)
{
    const std::string key = comparable(path);
    if (!staysInProgramFolder(path)) {
        markFailed(key, path);
        reportError("loadModel", "The model path " + shown(path) + " leaves the program folder; it is not loaded");
        return nullptr;
    }
    auto* files = qrFile();
    if (!files || !files->fileExists(path, true)) {
        markFailed(key, path);
        return nullptr;
    }
    auto model = qrNew<QRVISXModel>(this);
    // A broken file is reported by the model itself and leaves it empty; an empty model would
    // only stand in the list drawing nothing.
    model->loadFromFile(path);
    if (model->isEmpty()) {
        markFailed(key, path);
        logWarning("loadModel", "The model file " + shown(path) + " gave no model to draw");
        return nullptr;
    }
    model->generateVBO();
    failed_.erase(key);
    models_.push_back(std::move(model));
    return models_.back().get();
}

APPWRLDModels::FileStamp APPWRLDModels::stampOf(const std::string& path)
{
    auto* files = qrFile();
    if (!files)
        return {};
    const std::filesystem::path file = qrdrive::nativePath(files->absolutePath(path));
    std::error_code error;
    FileStamp stamp;
    stamp.exists = std::filesystem::is_regular_file(file, error);
    if (stamp.exists) {
        stamp.written = std::filesystem::last_write_time(file, error);
        stamp.size = std::filesystem::file_size(file, error);
    }
    return stamp;
}

bool APPWRLDModels::hasFailed(const std::string& comparablePath, const std::string& path) const
{
    const auto failure = failed_.find(comparablePath);
    if (failure == failed_.end())
        return false;
    // A path outside the program folder never loads, whatever becomes of the file it names, so
    // neither the drive is asked nor the refusal reported again.
    return !staysInProgramFolder(path) || failure->second == stampOf(path);
}

void APPWRLDModels::markFailed(const std::string& comparablePath, const std::string& path)
{
    failed_[comparablePath] = stampOf(path);
}

QRVISXModel* APPWRLDModels::getModelAt(int index) const
{
    if (index < 0 || index >= getModelCount())
        return nullptr;
    return models_[static_cast<std::size_t>(index)].get();
}

std::string APPWRLDModels::comparable(std::string_view path)
{
    std::string result = QRUTILStrings::lowerCase(path);
    std::replace(result.begin(), result.end(), '/', '\\');
    result.erase(0, result.find_first_not_of('\\'));
    return result;
}

bool APPWRLDModels::staysInProgramFolder(std::string_view path)
{
    if (path.empty() || path.front() == '/' || path.find(':') != std::string_view::npos)
        return false;
    std::string steps(path);
    std::replace(steps.begin(), steps.end(), '/', '\\');
    std::size_t start = 0;
    while (start <= steps.size()) {
        const std::size_t end = std::min(steps.find('\\', start), steps.size());
        if (steps.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}
