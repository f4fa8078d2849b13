#include "play_fixture.h"

#include "entities/app_entt_explosion.h"
#include "entities/app_entt_pickup.h"
#include "entities/app_entt_sprite.h"
#include "file/qr_file_file.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariable.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

class ParticleTest : public PlayFixture {
protected:
    // The impact flash of a red streak.
    APPENTTSprite* flash(const Vector3& at)
    {
        auto* sprite = create<APPENTTSprite>("Sprite", at);
        sprite->setupSprite(entities().getRedStreakImpactTexture(), {1.0f, 1.0f}, 0.4f, {1.0f, 1.0f, 1.0f, 1.0f}, 1);
        sprite->getMainParticle()->setFade(0.1f, 5.0f);
        return sprite;
    }
    bool calledWith(const std::string& call) const
    {
        return std::find(gl_.calls().begin(), gl_.calls().end(), call) != gl_.calls().end();
    }
};

} // namespace

TEST_F(ParticleTest, EffectsRunTheirCourseAndRemoveThemselves)
{
    struct Case {
        const char* what;
        std::function<APPENTTParticleEmitter*()> make;
        float peakAt;
        int peakCount;
        float goneFrom, goneBy;
    };
    const Vector3 at = kHome + Vector3{5.0f, 1.0f, 5.0f};
    const Case cases[] = {
        // 64 cells at 32 per second; the particles never fade.
        {"explosion", [&] { return create<APPENTTParticleEmitter>("Explosion", at); }, 1.9f, 6, 2.0f, 2.06f},
        // 11 at once and 20 more in 0.4 s; each fades out 0.8 s after its birth.
        {"pickup", [&] { return create<APPENTTParticleEmitter>("Pickup", at); }, 0.45f, 31, 1.18f, 1.26f},
        // The main particle is gone after 0.1 + 1/5 s, the second after 0.5 + 1/1.5 s.
        {"impact flash", [&] { return flash(at); }, 0.25f, 2, 1.14f, 1.22f},
    };
    for (const Case& c : cases) {
        APPENTTParticleEmitter* emitter = c.make();
        EXPECT_TRUE(emitter->isTransient());
        EXPECT_FALSE(emitter->castsShadow());
        EXPECT_EQ(emitter->getTypeName(), "Entity");
        int peak = 0;
        float seconds = 0.0f;
        while (exists(emitter) && seconds < 5.0f) {
            if (seconds <= c.peakAt)
                peak = std::max(peak, emitter->getParticleCount());
            frame(0.02f);
            seconds += 0.02f;
        }
        EXPECT_EQ(peak, c.peakCount) << c.what;
        EXPECT_GE(seconds, c.goneFrom) << c.what;
        EXPECT_LE(seconds, c.goneBy) << c.what;
    }
    EXPECT_EQ(entities().getEntityCount(), 0);
}

TEST_F(ParticleTest, TheExplosionPlaysItsSheetTopRowFirstAtThirtyTwoCellsASecond)
{
    auto* explosion = create<APPENTTExplosion>("Explosion", kHome + Vector3{0.0f, 1.2f, 0.0f});
    EXPECT_EQ(explosion->getPatternSize(), (Vector2{0.125f, 0.125f}));
    EXPECT_EQ(explosion->getTexture(), entities().getExplosionTexture());
    EXPECT_EQ(explosion->getBlendMode(), 1);
    struct Step {
        int frames;  // of 1/64 s
        Vector2 cell;
    };
    const Step steps[] = {{1, {0, 7}}, {2, {1, 7}}, {12, {7, 7}}, {2, {0, 6}}, {110, {7, 0}}};
    for (const Step& step : steps) {
        frames(step.frames, 1.0f / 64.0f);
        for (int i = 0; i < explosion->getParticleCount(); ++i)
            EXPECT_EQ(explosion->getParticle(i)->getPatternCell(), step.cell) << explosion->getAge();
    }
    for (int i = 0; i < explosion->getParticleCount(); ++i) {
        const APPENTTParticle& particle = *explosion->getParticle(i);
        const Vector3 offset = particle.getVelocity();
        EXPECT_TRUE(std::abs(offset.x) <= 0.4f && std::abs(offset.y) <= 0.4f && std::abs(offset.z) <= 0.4f);
        EXPECT_TRUE(particle.getSize() >= 1.5f && particle.getSize() < 1.9f);
    }
}

TEST_F(ParticleTest, AnEmitterWithoutALimitKeepsGoingWhileItsParticlesLive)
{
    auto* endless = create<APPENTTParticleEmitter>("Pickup", kHome);
    endless->setRemaining(-1);
    frames(250, 0.02f);
    ASSERT_TRUE(exists(endless));
    // 50 a second, each living 0.8 s.
    EXPECT_NEAR(endless->getParticleCount(), 40, 2);

    // A rate no frame could show (an emitter record can hold anything) stays within the bound.
    endless->setRate(1e30f);
    frame(0.02f);
    EXPECT_LE(endless->getParticleCount(), APPENTTParticleEmitter::kMaxParticles);
    for (float hostile : {0.0f, -5.0f, std::nanf("")}) {
        endless->setRate(hostile);
        frame(0.02f);
    }
    EXPECT_TRUE(exists(endless)) << "no rate: nothing new, the old ones still fading";
    frames(60, 0.02f);
    EXPECT_FALSE(exists(endless)) << "and then it is empty";
}

TEST_F(ParticleTest, ParticlesAreDrawnAsQuadsWithTheirCellSizeAndTurnInTheSecondCoordinateSet)
{
    const Vector3 at = kHome + Vector3{3.0f, 1.0f, 0.0f};
    APPENTTSprite* sprite = flash(at);
    sprite->getMainParticle()->setRotation(90.0f);
    sprite->getMainParticle()->setPatternCell({2.0f, 3.0f});
    gl_.clearCalls();
    sprite->render();

    QRVISXMaterialVariablePool& pool = *visual_->getMaterialManager()->getVariablePool();
    EXPECT_EQ(pool.getVector2Variable("patternsize")->getValue(), (Vector2{1.0f, 1.0f}));
    EXPECT_EQ(pool.getVector2Variable("particlescale")->getValue(), (Vector2{1.0f, 1.0f}));
    EXPECT_TRUE(pool.getBoolVariable("is2Dbillboard")->getValue());
    EXPECT_TRUE(calledWith("glBlendFunc(GL_SRC_ALPHA, GL_ONE)")) << "additive";
    EXPECT_TRUE(calledWith("glDepthMask(GL_FALSE)"));
    EXPECT_TRUE(calledWith("glDrawArrays(GL_QUADS, 0, 8)"));
    ASSERT_NE(entities().getParticleShader(), nullptr);

    const std::vector<float>& positions = gl_.lastDrawnPositions();
    ASSERT_EQ(positions.size(), 24u);
    for (std::size_t v = 0; v < 8; ++v)
        expectPoint({positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]}, at);
    const std::vector<float>& cells = gl_.lastDrawnTexCoords();
    ASSERT_EQ(cells.size(), 32u) << "four components per vertex";
    for (std::size_t v = 0; v < 8; ++v) {
        const bool main = v < 4;
        EXPECT_EQ(cells[4 * v], main ? 2.0f : 0.0f);
        EXPECT_EQ(cells[4 * v + 1], main ? 3.0f : 0.0f);
        EXPECT_FLOAT_EQ(cells[4 * v + 2], 0.4f);
        EXPECT_FLOAT_EQ(cells[4 * v + 3], main ? 1.5707964f : 0.0f);
    }
    const std::vector<float>& corners = sprite->getVertexBuffer()->getTexCoords(0);
    EXPECT_EQ(corners, (std::vector<float>{-1, 1, 1, 1, 1, -1, -1, -1, -1, 1, 1, 1, 1, -1, -1, -1}));

    // Fading in: a pickup's spark shows a quarter of its alpha 0.025 s after its birth.
    auto* pickup = create<APPENTTPickup>("Pickup", kHome);
    frame(0.025f);
    EXPECT_NEAR(pickup->getParticle(0)->shownColour().w, 0.25f, 1e-5f);
}

TEST_F(ParticleTest, TheRecordAddsExtentRateAndRemainingAndRefusesValuesThatAreNoNumbers)
{
    auto* written = create<APPENTTParticleEmitter>("Sprite", kHome);
    written->setExtent({1.0f, 2.0f, 3.0f});
    written->setRate(7.5f);
    written->setRemaining(-1);
    {
        auto file = qrNew<QRFILEFile>(nullptr);
        ASSERT_TRUE(file->open("emitter.record", QRFileAccess::Write, QRFileType::Binary, true));
        ASSERT_TRUE(written->save(*file));
    }
    std::string bytes = programFolder().read("emitter.record");
    // Position, orientation and size (32 bytes), then the emitter's 20.
    ASSERT_EQ(bytes.size(), 52u);
    float tail[4];
    std::int32_t remaining = 0;
    std::memcpy(tail, bytes.data() + 32, sizeof tail);
    std::memcpy(&remaining, bytes.data() + 48, sizeof remaining);
    EXPECT_EQ((std::vector<float>(tail, tail + 4)), (std::vector<float>{1.0f, 2.0f, 3.0f, 7.5f}));
    EXPECT_EQ(remaining, -1);

    const float nan = std::nanf("");
    for (std::size_t offset : {std::size_t{0}, std::size_t{32}, std::size_t{44}}) {
        std::string patched = bytes;
        std::memcpy(patched.data() + offset, &nan, sizeof nan);
        programFolder().write("emitter.record", patched);
        auto* read = create<APPENTTParticleEmitter>("Pickup", kHome);
        auto file = qrNew<QRFILEFile>(nullptr);
        ASSERT_TRUE(file->open("emitter.record", QRFileAccess::Read, QRFileType::Binary, true));
        const std::size_t boxesBefore = shownBoxes().size();
        EXPECT_FALSE(read->load(*file)) << offset;
        ASSERT_EQ(shownBoxes().size(), boxesBefore + 1) << offset;
        EXPECT_NE(shownBoxes().back().find("not a finite number"), std::string::npos) << offset;
        EXPECT_EQ(read->getRate(), 50.0f) << "unchanged";
        EXPECT_EQ(read->getExtent(), (Vector3{1.0f, 1.0f, 1.0f}));
    }
}
