#pragma once
// What the player has achieved, kept in "progress.sav" in the program folder (never inside
// world/): the hero, the papers collected and monkeys defeated (by where the level placed them),
// the time played, and a digest of the area files the progress belongs to. Written crash-safely:
// a write cut off leaves the previous file whole. Owned by the progress keeper.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct APPMAINProgress {
    std::uint64_t worldDigest = 0;
    Vector3 heroPosition{0.0f, 0.0f, 0.0f};
    float heroYaw = 0.0f;
    float heroPitch = 0.0f;
    int personality = 0;
    int level = 0;
    int papersCollected = 0;
    int health = 100;
    float timePlayed = 0.0f;
    // The player has seen the end screen and chose to keep exploring.
    bool finished = false;
    // Where the level had them: papers and monkeys never move from where they were placed.
    std::vector<Vector3> collectedPapers;
    std::vector<Vector3> defeatedMonkeys;
};

class APPMAINProgressFile : public QRObject {
public:
    static constexpr const char* kFileName = "progress.sav";

    explicit APPMAINProgressFile(QRObject* owner, std::string path = kFileName);

    bool exists() const;
    // Replaces the file only when every byte was written.
    bool save(const APPMAINProgress& progress);
    // Nothing when there is no file; a damaged file is reported and gives nothing as well.
    std::optional<APPMAINProgress> load();
    void remove();

    // FNV-1a over the named files as they are on the drive (the area files; a missing one counts
    // too): progress made on another world does not fit this one.
    static std::uint64_t worldDigest(const std::vector<std::string>& fileNames);

    const std::string& getPath() const { return path_; }

private:
    bool damaged(const std::string& why);

    std::string path_;
};
