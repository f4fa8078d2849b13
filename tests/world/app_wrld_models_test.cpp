#include "world_unit_fixture.h"

#include "visual/geometry/qr_visx_model.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "world/app_wrld_models.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <string>

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

class ModelList : public WorldUnitFixture {
protected:
    ModelList() : models_(qrNew<APPWRLDModels>(nullptr)) { programFolder().write("models/readme.txt", "models"); }

    // A one-triangle model named name, saved at path (relative, "\" separators).
    void writeModel(const std::string& path, const std::string& name)
    {
        auto model = qrNew<QRVISXModel>(nullptr);
        model->setName(name);
        model->setLodCount(1);
        QRVISXModelLod& lod = *model->getLod(0);
        lod.setGroupCount(1);
        QRVISXVertexBuffer& buffer = *lod.getGroup(0)->createBuffer();
        buffer.create(3, 3);
        const Vector3 corners[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        for (int i = 0; i < 3; ++i) {
            buffer.setVertexPosition(i, corners[i]);
            buffer.setNormal(i, {0, 0, 1});
            buffer.setIndex(i, i);
        }
        model->saveToFile(path);
    }

    void writeList(const std::string& text) { programFolder().write("models/models.ini", text); }

    QROwned<APPWRLDModels> models_;
};

} // namespace

TEST_F(ModelList, ListedModelsLoadOnceAndAreSharedByPathAndByName)
{
    writeModel("models\\tree.model", "Tree");
    writeModel("models\\bench.model", "Bench");
    writeList("[MODELS]\n\"models\\tree.model\"\nmodels/TREE.model\nSeat = \"models\\bench.model\"\n"
              "\"\\models\\tree.model\"\n[OTHER]\n\"models\\missing.model\"\n");

    models_->initialize();

    ASSERT_EQ(models_->getModelCount(), 2);
    QRVISXModel* tree = models_->getModelAt(0);
    QRVISXModel* bench = models_->getModelAt(1);
    EXPECT_EQ(tree->getName(), "Tree");
    EXPECT_EQ(bench->getName(), "Bench");
    EXPECT_TRUE(tree->getLod(0)->getVertexBuffer()->hasBufferObjects());
    EXPECT_TRUE(bench->getLod(0)->getVertexBuffer()->hasBufferObjects());

    // Once loaded, a model is never read again: the file may even be gone.
    std::filesystem::remove(programFolder() / "models/tree.model");
    EXPECT_EQ(models_->getModel("models\\tree.model"), tree);
    EXPECT_EQ(models_->getModel("Models\\Tree.MODEL"), tree);
    EXPECT_EQ(models_->getModel("models/tree.model"), tree);
    EXPECT_EQ(models_->getModel("tree"), tree);
    EXPECT_EQ(models_->getModel("BENCH"), bench);
    EXPECT_EQ(models_->getModelCount(), 2);
    // The section "OTHER" is not the model list.
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(ModelList, ModelsNotInTheListLoadOnFirstRequest)
{
    writeModel("models\\lamp.model", "Lamp");

    models_->initialize();
    EXPECT_EQ(models_->getModelCount(), 0);
    EXPECT_THAT(logText(), HasSubstr("No model list \"models\\models.ini\""));

    QRVISXModel* lamp = models_->getModel("models\\lamp.model");
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(models_->getModel("Lamp"), lamp);
    EXPECT_EQ(models_->getModelCount(), 1);
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(ModelList, AMissingOrBrokenModelIsReportedOnceAndGivesNoModel)
{
    programFolder().write("models/broken.model", std::string("QOR____1\x05\x00\x00\x00Bro", 15));
    programFolder().write("models/nolevels.model", std::string("QOR____1\0\0\0\0\0\0\0\0\0\0\0\0", 20));

    for (const char* path : {"models\\absent.model", "models\\broken.model", "models\\nolevels.model"}) {
        SCOPED_TRACE(path);
        const std::size_t boxesBefore = shownBoxes().size();
        EXPECT_EQ(models_->getModel(path), nullptr);
        const std::size_t reported = shownBoxes().size() - boxesBefore;
        EXPECT_LE(reported, 1u);
        // Entities asking again for the same model get nothing, and no second box.
        EXPECT_EQ(models_->getModel(path), nullptr);
        EXPECT_EQ(models_->getModel(std::string(path) + ""), nullptr);
        EXPECT_EQ(shownBoxes().size() - boxesBefore, reported);
    }
    EXPECT_THAT(shownBoxes()[0], HasSubstr("models\\absent.model"));
    EXPECT_THAT(shownBoxes()[1], HasSubstr("models\\broken.model"));
    EXPECT_THAT(logText(), HasSubstr("The model file \"models\\nolevels.model\" gave no model to draw"));
    EXPECT_EQ(models_->getModelCount(), 0);
}

TEST_F(ModelList, HostileListsGiveAClearErrorAndLoadOnlyWhatIsSafe)
{
    std::string manyMissing = "[MODELS]\n";
    for (int i = 0; i < 5000; ++i)
        manyMissing += "\"models\\gone" + std::to_string(i) + ".model\"\n";
    std::string sameOverAndOver = "[MODELS]\n";
    for (int i = 0; i < 5000; ++i)
        sameOverAndOver += (i % 2 ? "models\\ok.model\n" : "MODELS/OK.MODEL\n");
    std::string garbage = "[MODELS]\n";
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);

    // texts empty: no box at all, or at most one for the garbage whose lines may name anything.
    struct Case {
        const char* what;
        std::string list;
        int loaded;
        std::vector<std::string> texts;
        std::size_t boxesAllowed = 0;
    };
    const Case cases[] = {
        {"5000 missing files: one error naming the first ten", manyMissing, 0,
         {"names 5000 model files that do not exist: \"models\\gone0.model\"", "and 4990 more"}},
        {"one model listed 5000 times", sameOverAndOver, 1, {}},
        {"paths leaving the program folder",
         "[MODELS]\n\"..\\outside.model\"\n\"models\\..\\..\\outside.model\"\n\"/etc/passwd\"\n\"C:\\x.model\"\n"
         "\"models\\ok.model\"\n",
         1,
         {"names 4 paths outside the program folder"}},
        {"the list names itself, which is no model", "[MODELS]\n\"models\\models.ini\"\n\"models\\ok.model\"\n", 1,
         {"models\\models.ini"}},
        {"empty values and lines of separators", "[MODELS]\n\"\"\n = x\n[]\n[ MODELS\n\"models\\ok.model\"\n", 1, {}},
        {"binary garbage", garbage, 0, {}, 1},
        {"a value ten thousand characters long", "[MODELS]\n" + std::string(10000, 'm') + "\n", 0,
         {"names 1 model files that do not exist"}},
    };
    writeModel("models\\ok.model", "Fine");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeList(c.list);
        const std::size_t boxesBefore = shownBoxes().size();
        auto models = qrNew<APPWRLDModels>(nullptr);
        models->initialize();
        EXPECT_EQ(models->getModelCount(), c.loaded);
        const std::vector<std::string> boxes(shownBoxes().begin() + static_cast<std::ptrdiff_t>(boxesBefore),
                                             shownBoxes().end());
        if (c.texts.empty()) {
            EXPECT_LE(boxes.size(), c.boxesAllowed);
        } else {
            ASSERT_THAT(boxes, SizeIs(1));
            for (const auto& text : c.texts)
                EXPECT_THAT(boxes[0], HasSubstr(text));
            // Names in messages are cut short.
            EXPECT_LT(boxes[0].size(), 4000u);
        }
    }
}

TEST_F(ModelList, APathThatFailedIsTriedAgainOnceItsFileChanged)
{
    programFolder().write("models/broken.model", std::string("QOR____1\x05\x00\x00\x00Bro", 15));
    writeList("[MODELS]\n\"models\\listed.model\"\n");
    models_->initialize();
    for (const std::string name : {"absent", "broken", "listed"}) {
        const std::string path = "models\\" + name + ".model";
        EXPECT_EQ(models_->getModel(path), nullptr);
        writeModel(path, name);
        ASSERT_NE(models_->getModel(path), nullptr) << name;
        EXPECT_EQ(models_->getModel(name)->getFileName(), path);
    }
}
