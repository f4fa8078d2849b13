#pragma once
// Scenery: one model of the world's model list, placed, turned and sized in the editor; the
// surface projectiles stop at and ground queries stand on. Stored in the area files with its
// model's name; owned by the world's entity list.

#include "entities/app_entt_actor.h"

#include <string>
#include <string_view>

class APPENTTEnvironmentModel : public APPENTTActor {
public:
    APPENTTEnvironmentModel(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    // Adds the "EnvironmentModel" tab: the model, chosen from the model list by name.
    void fillEditForm(APPENTTEditForm& form) override;
    void readEditForm(const APPENTTEditForm& form) override;
    // The stored placement matrix, refreshed whenever the placement has changed since.
    Matrix4 getWorldMatrix() const override;
    std::string getTypeName() const override;
    // The base record, then the model's name.
    bool save(QRFILEFile& file) const override;
    bool load(QRFILEFile& file) override;

    // The model of that name from the model list; an empty name means none. The name is what the
    // area file keeps, even while no such model can be loaded.
    void setModelName(std::string_view name);
    // The name given last, or the model's file name when the model was set directly.
    std::string getModelName() const;

private:
    struct Placement {
        Vector3 position;
        Quaternion orientation;
        float size = 1.0f;
        bool operator==(const Placement&) const = default;
    };
    Placement placement() const;
    void storeWorldMatrix() const;

    std::string modelName_;
    mutable Placement matrixPlacement_;
    mutable Matrix4 worldMatrix_;
};
