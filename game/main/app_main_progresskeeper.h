#pragma once
// Keeps the player's progress across runs: notes where the level placed its papers and coder
// monkeys when play starts, reads what play has changed since (the hero, papers gone, monkeys
// defeated, time played), writes it to the progress file and puts a saved game back into the
// world when the world is the same one. Play itself never touches the area files. Owned by the
// application.

#include "core/qr_core_object.h"
#include "main/app_main_progressfile.h"

#include <cstdint>
#include <string>
#include <vector>

class APPWRLDMain;

class APPMAINProgressKeeper : public QRObject {
public:
    static constexpr float kAutosaveSeconds = 60.0f;

    APPMAINProgressKeeper(QRObject* owner, APPWRLDMain* world, std::string path = APPMAINProgressFile::kFileName);
    ~APPMAINProgressKeeper() override;

    // Notes the level's papers and monkeys as play starts on it, and the digest of its area files.
    void takeInventory();
    // Puts the saved progress back when it was made on this world; otherwise the game starts fresh
    // (and the file is left for the world it belongs to until the next save replaces it).
    bool resume();
    // One frame of play: the time played grows, and a minute of play since the last save saves.
    void advance(float delta);
    bool save();
    // A new game: no time played, nothing finished, no progress file.
    void forget();

    APPMAINProgress capture() const;
    void apply(const APPMAINProgress& progress);

    float getTimePlayed() const { return timePlayed_; }
    bool isFinished() const { return finished_; }
    void setFinished(bool finished) { finished_ = finished; }
    std::uint64_t getWorldDigest() const { return digest_; }
    APPMAINProgressFile* getFile() const { return file_.get(); }

private:
    struct Placed {
        std::uint64_t serial;
        bool paper;
        Vector3 position;
    };

    APPWRLDMain* world_;
    QROwned<APPMAINProgressFile> file_;
    std::vector<Placed> inventory_;
    std::uint64_t digest_ = 0;
    float timePlayed_ = 0.0f;
    float sinceSave_ = 0.0f;
    bool finished_ = false;
};
