#pragma once
// A fresh, initialised environment (flat land, boxes computed) inside a running engine, created the
// way the world container creates it.

#include "engine_fixture.h"

#include "environment/app_envr_main.h"

class EnvironmentFixture : public EngineFixture {
protected:
    EnvironmentFixture() : environment_(qrNew<APPENVRMain>(nullptr)) { environment_->initialize(); }

    APPENVRMain& environment() { return *environment_; }

private:
    QROwned<APPENVRMain> environment_;
};
