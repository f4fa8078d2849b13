#pragma once
// Stands in for an entity type whose class this build does not have yet: it keeps the type name and
// reads and writes the record that type stores, so areas holding such entities load and save
// unchanged. The entity list creates it; once the real class joins, its type name stops using it.

#include "entities/app_entt_main.h"

#include <cstdint>
#include <string>

// What a type stores after the base record.
enum class APPENTTRecordTail {
    None,
    // The model name (scenery models).
    ModelName,
    // Extent, rate and remaining count (particle emitters).
    EmitterFields,
};

class APPENTTPlaceholder : public APPENTTMain {
public:
    APPENTTPlaceholder(QRObject* owner, const Vector3& position, std::string typeName, APPENTTRecordTail tail,
                       bool transient);

    std::string getTypeName() const override { return typeName_; }
    bool isTransient() const override { return transient_; }
    bool save(QRFILEFile& file) const override;
    bool load(QRFILEFile& file) override;

private:
    std::string typeName_;
    APPENTTRecordTail tail_;
    bool transient_;
    std::string modelName_;
    Vector3 extent_{1.0f, 1.0f, 1.0f};
    float rate_ = 0.0f;
    std::int32_t remaining_ = 0;
};
