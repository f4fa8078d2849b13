#include "play_fixture.h"

#include "entities/app_entt_editform.h"
#include "entities/app_entt_environmentmodel.h"
#include "visual/geometry/qr_visx_model.h"
#include "world/app_wrld_models.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// An attribute window that keeps what it is given; the user picks an entry while it is shown.
class FakeEditForm : public APPENTTEditForm {
public:
    void hideAllTabs() override { tabs.clear(); }
    void showTab(std::string_view tab) override { tabs.emplace_back(tab); }
    void setText(std::string_view control, const std::string& text) override { texts[std::string(control)] = text; }
    std::string getText(std::string_view control) const override
    {
        const auto found = texts.find(std::string(control));
        return found == texts.end() ? std::string() : found->second;
    }
    void setChecked(std::string_view, bool) override {}
    bool isChecked(std::string_view) const override { return false; }
    void setItems(std::string_view control, const std::vector<std::string>& entries) override
    {
        items[std::string(control)] = entries;
    }
    bool showModal() override
    {
        shown = texts["CBEnvironmentModelModel"];
        texts["CBEnvironmentModelModel"] = pick;
        return true;
    }

    std::vector<std::string> tabs;
    std::map<std::string, std::string> texts;
    std::map<std::string, std::vector<std::string>> items;
    std::string shown;
    std::string pick;
};

class EnvironmentModelTest : public PlayFixture {
protected:
    void writeFloorModel(const std::string& name, const std::string& path)
    {
        std::filesystem::create_directories(programFolder().path() / "models");
        floorModel(name)->saveToFile(path);
    }
};

} // namespace

TEST_F(EnvironmentModelTest, TheModelIsChosenByNameFromTheSortedModelList)
{
    for (const char* name : {"fountain", "Bench", "Lamp"})
        writeFloorModel(name, std::string("models/") + name + ".model");
    for (const char* name : {"fountain", "Bench", "Lamp"})
        ASSERT_NE(world().getModels()->getModel(std::string("models\\") + name + ".model"), nullptr);
    auto* scenery = create<APPENTTEnvironmentModel>("EnvironmentModel", kHome);
    scenery->setModelName("Lamp");
    EXPECT_TRUE(scenery->castsShadow());

    FakeEditForm form;
    form.pick = "Bench";
    ASSERT_TRUE(scenery->editAttributes(form));
    EXPECT_EQ(form.tabs, (std::vector<std::string>{"Main", "Actor", "EnvironmentModel"}));
    EXPECT_EQ(form.shown, "Lamp") << "the current model is selected";
    EXPECT_EQ(form.items["CBEnvironmentModelModel"], (std::vector<std::string>{"Bench", "fountain", "Lamp"}))
        << "sorted ignoring letter case";
    ASSERT_NE(scenery->getModel(), nullptr);
    EXPECT_EQ(scenery->getModel()->getName(), "Bench");
    EXPECT_EQ(scenery->getModelName(), "Bench") << "the name the area file keeps";

    form.pick = "";
    scenery->editAttributes(form);
    EXPECT_EQ(form.shown, "Bench");
    EXPECT_EQ(scenery->getModel(), nullptr) << "no entry chosen: no model";
}

TEST_F(EnvironmentModelTest, GroundTestsFollowTheModelWhenItIsMovedOrResized)
{
    writeFloorModel("Slab", "models/slab.model");
    auto* scenery = create<APPENTTEnvironmentModel>("EnvironmentModel", kHome);
    scenery->setModelName("models\\slab.model");
    struct Step {
        Vector3 position;
        float size;
        Vector3 probe;
        float ground;
    };
    const Step steps[] = {
        {kHome, 1.0f, kHome + Vector3{1.0f, 9.0f, 1.0f}, 1.0f},
        {kHome + Vector3{10.0f, 0.0f, 0.0f}, 1.0f, kHome + Vector3{1.0f, 9.0f, 1.0f}, -999999.0f},
        {kHome + Vector3{10.0f, 0.0f, 0.0f}, 1.0f, kHome + Vector3{11.0f, 9.0f, 1.0f}, 1.0f},
        {kHome + Vector3{10.0f, 2.0f, 0.0f}, 3.0f, kHome + Vector3{11.0f, 9.0f, 1.0f}, 5.0f},
    };
    for (const Step& step : steps) {
        scenery->setPosition(step.position);
        scenery->setSize(step.size);
        EXPECT_FLOAT_EQ(entities().modelGroundHeight(step.probe), step.ground);
    }
}
