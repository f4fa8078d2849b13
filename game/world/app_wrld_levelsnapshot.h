#pragma once
// The level as designed, kept while the game is played on it: the record of every lasting entity
// (type, name, area-file record, serial, and the block and place in that block's list it stood
// in). Giving it back replaces whatever play made of the entities with exactly those, so that
// collected papers, defeated monkeys, turned monkeys and the walked hero never reach an area file.
// Owned by the world's entity list.

#include "core/qr_core_object.h"
#include "environment/app_envr_main.h"

#include <cstdint>
#include <string>
#include <vector>

class APPWRLDEntities;
class QRVISXModel;

class APPWRLDLevelSnapshot : public QRObject {
public:
    explicit APPWRLDLevelSnapshot(QRObject* owner);

    // Keeps the records of every entity of the list that an area file would hold (transient
    // ones belong to play); replaces what was kept before.
    void keep(const APPWRLDEntities& entities);
    bool isKept() const { return kept_; }

    // Puts the kept level back into the list and forgets it. Every entity now in the list goes;
    // every kept one comes back from its record into its block at its old place, with its name,
    // model and serial (an editor's selection and history find it again), and the kept hero is the
    // world's hero again. A record that cannot be read back is reported and its entity stays
    // out. Nothing happens when nothing is kept.
    bool giveBack(APPWRLDEntities& entities);
    void forget();

private:
    struct Record {
        std::uint64_t serial = 0;
        std::string typeName;
        std::string name;
        std::vector<std::uint8_t> bytes;
        QRVISXModel* model = nullptr;
        APPENVRBlockIndex block;
        int slot = 0;
    };

    std::vector<Record> records_;
    std::uint64_t heroSerial_ = 0;
    bool kept_ = false;
};
