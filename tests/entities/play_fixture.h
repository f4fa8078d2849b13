#pragma once
// A world to play in, without a display: the GL recorder, the particle shader and textures, the
// sound module on OpenAL's null output with every game sound two seconds long (so each play
// keeps its channel for the length of a test), and helpers that step the world frame by frame.

#include "entity_world_fixture.h"
#include "sound_fixture.h"
#include "wave_bytes.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_kip.h"
#include "entities/app_entt_main.h"
#include "math/qr_math_vector.h"
#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_main.h"
#include "sound/qr_boom_sample.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "world/app_wrld_main.h"

#include <filesystem>
#include <string>
#include <typeinfo>

class PlayFixture : public EntityWorldFixture {
protected:
    // The centre of block (1, 1): everything within 80 units of it updates while the hero is here.
    static constexpr Vector3 kHome{240.0f, 0.0f, 240.0f};

    PlayFixture()
    {
        useOpenALConfig("[general]\ndrivers=null\n");
        const std::filesystem::path particles = std::filesystem::path(KIPSTER_PROGRAM_FOLDER) / "textures" / "particles";
        std::filesystem::create_directories(programFolder().path() / "textures");
        std::filesystem::copy(particles, programFolder().path() / "textures" / "particles",
                              std::filesystem::copy_options::recursive);
        for (const char* name : {"jump", "land", "footsteps", "fly", "turbo_kip_fire", "level_up", "collect_paper",
                                 "throw_banana", "banana_impact", "impact", "explosion", "hurt"})
            programFolder().write(std::string("sounds/") + name + ".wav",
                                  wave::pcm(1, 8000, 8, wave::square(16000, 1, 8, 50)));
        entities().initialize();
        sound_ = qrNew<QRBOOMMain>(&core());
        sound_->initialize();
        gl_.clearCalls();
    }
    ~PlayFixture() override
    {
        world_.reset();
        sound_.reset();
    }

    APPENTTKip* placeHero(const Vector3& position = kHome)
    {
        return static_cast<APPENTTKip*>(entities().createEntity("Kip", position));
    }
    template <class T>
    T* create(const char* typeName, const Vector3& position)
    {
        return dynamic_cast<T*>(entities().createEntity(typeName, position));
    }
    // One logic frame of the game.
    void frame(float delta)
    {
        qrTime()->setDelta(delta);
        world().update();
    }
    void frames(int count, float delta)
    {
        for (int i = 0; i < count; ++i)
            frame(delta);
    }
    bool exists(const APPENTTMain* entity) const
    {
        for (int i = 0; i < world_->getEntities()->getEntityCount(); ++i)
            if (world_->getEntities()->getEntity(i) == entity)
                return true;
        return false;
    }
    template <class T>
    int countOf() const
    {
        int count = 0;
        for (int i = 0; i < world_->getEntities()->getEntityCount(); ++i)
            count += dynamic_cast<const T*>(world_->getEntities()->getEntity(i)) ? 1 : 0;
        return count;
    }
    // How often the sound file was started (each play holds a channel of its own for two seconds).
    int played(const std::string& file) const
    {
        int count = 0;
        for (int i = 0; i < sound_->getChannels()->getCount(); ++i) {
            const QRBOOMSample* sample = sound_->getChannels()->getChannel(i)->getSample();
            count += sample && sample->getName() == file ? 1 : 0;
        }
        return count;
    }

    // A flat 4 x 4 square at height 1 around the model's origin.
    static QROwned<QRVISXModel> floorModel(const std::string& name = "Floor")
    {
        auto model = qrNew<QRVISXModel>(nullptr);
        model->setName(name);
        model->setLodCount(1);
        QRVISXVertexBuffer* buffer = model->getLod(0)->createVertexBuffer();
        buffer->setPrimitive(true, GL_TRIANGLES);
        buffer->create(4, 6);
        const Vector3 corners[] = {{-2, 1, -2}, {2, 1, -2}, {2, 1, 2}, {-2, 1, 2}};
        const int indices[] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i) {
            if (i < 4)
                buffer->setVertexPosition(i, corners[i]);
            buffer->setIndex(i, indices[i]);
        }
        model->getLod(0)->updateBounds();
        return model;
    }

    QROwned<QRBOOMMain> sound_;
};
