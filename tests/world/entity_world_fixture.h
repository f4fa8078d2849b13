#pragma once
// A world in a running engine whose GL calls go to the recorder (see WorldUnitFixture), with its
// environment and entity list initialised the way the world initialises them. No area is loaded;
// tests write the files they need first.

#include "world_unit_fixture.h"

#include "environment/app_envr_main.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"

#include <string>

class EntityWorldFixture : public WorldUnitFixture {
protected:
    EntityWorldFixture() : world_(qrNew<APPWRLDMain>(nullptr))
    {
        world_->getEnvironment()->initialize();
        world_->getEntities()->initialize();
        gl_.clearCalls();
    }
    ~EntityWorldFixture() override { world_.reset(); }

    APPWRLDMain& world() { return *world_; }
    APPENVRMain& environment() { return *world_->getEnvironment(); }
    APPWRLDEntities& entities() { return *world_->getEntities(); }

    static std::string areaFileName(int ax, int az)
    {
        return "world/area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world";
    }

    QROwned<APPWRLDMain> world_;
};
