#include "play_fixture.h"

#include "entities/app_entt_paper.h"
#include "main/app_main_gameflow.h"
#include "main/app_main_menuoverlay.h"
#include "main/app_main_progresskeeper.h"
#include "sound/qr_boom_samples.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <cstdint>

class GameFlowTest : public PlayFixture {
protected:
    GameFlowTest() : flow_(qrNew<APPMAINGameFlow>(nullptr, &world()))
    {
        // The frame timer follows a clock the test moves.
        qrTime()->setClock([this] { return now_; });
        qrTime()->resetTime();
    }
    ~GameFlowTest() override { qrTime()->setClock({}); }

    void begin()
    {
        entities().beginPlay();
        flow_->beginPlay();
    }
    // One logic frame, as the application runs it, a tenth of a second after the last.
    void frame()
    {
        now_ += 100;
        qrTime()->updateTime();
        flow_->update();
    }
    int sourceState(int channel) const
    {
        ALint state = 0;
        alGetSourcei(sound_->getChannels()->getChannel(channel)->getSource(), AL_SOURCE_STATE, &state);
        return state;
    }

    std::uint32_t now_ = 1000;
    QROwned<APPMAINGameFlow> flow_;
};

TEST_F(GameFlowTest, PauseHoldsEntitiesSoundsAndTheWaterClockUntilResumed)
{
    APPENTTKip* kip = placeHero();
    auto* paper = create<APPENTTPaper>("Paper", kHome + Vector3{20.0f, 0.0f, 0.0f});
    begin();
    ASSERT_NE(sound_->getChannels()->play(sound_->getSamples()->loadSample("sounds\\fly.wav")), nullptr);
    frame();
    ASSERT_EQ(sourceState(0), AL_PLAYING);

    flow_->pause();
    EXPECT_TRUE(flow_->isPaused());
    const Quaternion spin = paper->getOrientation();
    const Vector3 at = kip->getPosition();
    const float clock = qrTime()->getTotalTime();
    for (int i = 0; i < 5; ++i)
        frame();
    EXPECT_EQ(paper->getOrientation().y, spin.y) << "entities stand still";
    EXPECT_EQ(kip->getPosition().y, at.y) << "no gravity either";
    EXPECT_EQ(qrTime()->getTotalTime(), clock) << "the water's shader clock holds";
    EXPECT_EQ(sourceState(0), AL_PAUSED) << "sounds hold where they are";
    EXPECT_EQ(flow_->getProgress()->getTimePlayed(), 0.1f) << "paused time is no time played";

    flow_->resume();
    frame();
    EXPECT_NE(paper->getOrientation().y, spin.y);
    EXPECT_GT(qrTime()->getTotalTime(), clock);
    EXPECT_EQ(sourceState(0), AL_PLAYING);
    EXPECT_FALSE(flow_->isPaused());
}

TEST_F(GameFlowTest, TheLastPaperShowsTheEndOnceAndKeepExploringPlaysOn)
{
    placeHero();
    // Within reach: collected in the first frame.
    create<APPENTTPaper>("Paper", kHome + Vector3{0.0f, 0.0f, 1.0f});
    create<APPENTTPaper>("Paper", kHome + Vector3{0.0f, 0.0f, -1.0f});
    begin();
    frame();
    ASSERT_EQ(entities().getKip()->getPapersCollected(), 2);
    ASSERT_TRUE(flow_->isEndShown());
    EXPECT_EQ(flow_->getEndScreen()->getItems(), (std::vector<std::string>{"New Game", "Keep Exploring"}));
    EXPECT_TRUE(std::filesystem::exists(programFolder().path() / "progress.sav")) << "the end is saved at once";
    const float clock = qrTime()->getTotalTime();
    frame();
    EXPECT_EQ(qrTime()->getTotalTime(), clock) << "the world holds behind the end screen";

    flow_->keepExploring();
    EXPECT_FALSE(flow_->isEndShown());
    EXPECT_TRUE(flow_->getProgress()->isFinished());
    create<APPENTTPaper>("Paper", kHome + Vector3{1.0f, 0.0f, 0.0f});
    frame();
    EXPECT_EQ(entities().getKip()->getPapersCollected(), 3);
    EXPECT_FALSE(flow_->isEndShown()) << "shown once";
    EXPECT_GT(qrTime()->getTotalTime(), clock);
}

TEST_F(GameFlowTest, NewGameGivesTheLevelBackAndForgetsTheProgress)
{
    placeHero();
    create<APPENTTPaper>("Paper", kHome + Vector3{30.0f, 0.0f, 0.0f});
    create<APPENTTPaper>("Paper", kHome + Vector3{0.0f, 0.0f, 1.0f});
    begin();
    frame();
    ASSERT_EQ(countOf<APPENTTPaper>(), 1);
    entities().getKip()->setPosition(kHome + Vector3{10.0f, 0.0f, 10.0f});
    ASSERT_TRUE(flow_->save());
    flow_->pause();

    flow_->newGame();
    EXPECT_FALSE(flow_->isPaused());
    EXPECT_EQ(entities().getKip()->getPapersCollected(), 0);
    EXPECT_EQ(entities().getKip()->getPosition().x, kHome.x);
    EXPECT_EQ(countOf<APPENTTPaper>(), 2) << "the collected paper is back";
    EXPECT_EQ(flow_->getProgress()->getTimePlayed(), 0.0f);
    EXPECT_FALSE(std::filesystem::exists(programFolder().path() / "progress.sav"));
}
