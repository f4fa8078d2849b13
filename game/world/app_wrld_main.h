#pragma once
// The world: owns every part of the game scene (terrain, entities, camera, models, sun, shadow map,
// sky box, post-processing, water, heads-up display) and fixes the order in which they are
// created, brought up, loaded, updated and drawn. Owned by the game (APPGAMEMain), which forwards
// the frame to it.

#include "core/qr_core_object.h"

#include <functional>
#include <string_view>

class APPENVRMain;
class APPWRLDEntities;
class APPWRLDCamera;
class APPWRLDModels;
class APPWRLDLight;
class APPWRLDShadow;
class APPWRLDSkybox;
class APPWRLDPostProcess;
class APPWRLDWater;
class APPWRLDHUD;

class APPWRLDMain : public QRObject {
public:
    // Told the name of each step of a frame or of start-up just before it runs.
    using StepObserver = std::function<void(std::string_view step)>;

    explicit APPWRLDMain(QRObject* owner);
    ~APPWRLDMain() override;

    // Brings every part up in creation order, then loads the world.
    void initialize() override;
    // Terrain and entities of every area file present, then the paper count.
    void loadWorld();
    void saveWorld();

    // Game mode, once per frame with a non-zero frame delta.
    void update();
    enum class View { kGame, kEditor };
    // One frame of either view through the one list of render passes (app_wrld_main.cpp).
    void renderView(View view);
    void render() { renderView(View::kGame); }
    void renderEditor() { renderView(View::kEditor); }

    APPENVRMain* getEnvironment() const { return environment_.get(); }
    APPWRLDEntities* getEntities() const { return entities_.get(); }
    APPWRLDCamera* getCamera() const { return camera_.get(); }
    APPWRLDModels* getModels() const { return models_.get(); }
    APPWRLDLight* getLight() const { return light_.get(); }
    APPWRLDShadow* getShadow() const { return shadow_.get(); }
    APPWRLDSkybox* getSkybox() const { return skybox_.get(); }
    APPWRLDPostProcess* getPostProcess() const { return postProcess_.get(); }
    APPWRLDWater* getWater() const { return water_.get(); }
    APPWRLDHUD* getHUD() const { return hud_.get(); }

    void setStepObserver(StepObserver observer) { stepObserver_ = std::move(observer); }

private:
    template <class Run>
    void step(std::string_view name, Run&& run)
    {
        if (stepObserver_)
            stepObserver_(name);
        run();
    }

    // Creation order.
    QROwned<APPENVRMain> environment_;
    QROwned<APPWRLDEntities> entities_;
    QROwned<APPWRLDCamera> camera_;
    QROwned<APPWRLDModels> models_;
    QROwned<APPWRLDLight> light_;
    QROwned<APPWRLDShadow> shadow_;
    QROwned<APPWRLDSkybox> skybox_;
    QROwned<APPWRLDPostProcess> postProcess_;
    QROwned<APPWRLDWater> water_;
    QROwned<APPWRLDHUD> hud_;
    StepObserver stepObserver_;
};

// The world of the running application, reached through the game; null before the game has built it.
APPWRLDMain* appWorld();
