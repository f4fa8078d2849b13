#include "engine_fixture.h"

#include "visual/materials/qr_visx_materialvariablepool.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class VariablePool : public EngineFixture {
protected:
    QROwned<QRVISXMaterialVariablePool> pool_ = qrNew<QRVISXMaterialVariablePool>(nullptr);

    std::size_t logCount(const std::string& text) const
    {
        const std::string log = logText();
        std::size_t found = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++found;
        return found;
    }
};

} // namespace

TEST_F(VariablePool, EachKindIsItsOwnVariableWithItsDefault)
{
    const std::vector<int> kinds = {1, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::vector<QRVISXMaterialVariable*> created;
    for (int kind : kinds) {
        SCOPED_TRACE(kind);
        QRVISXMaterialVariable* variable = pool_->getVariable("Light", kind);
        ASSERT_NE(variable, nullptr);
        EXPECT_EQ(variable->getVariableKind(), kind);
        EXPECT_EQ(variable->getName(), "Light");
        EXPECT_EQ(pool_->getVariable("Light", kind), variable);
        created.push_back(variable);
    }
    EXPECT_EQ(pool_->getVariableCount(), static_cast<int>(kinds.size()));
    EXPECT_EQ(logCount("Creating material variable: Light"), kinds.size());
    // Names are case-sensitive.
    EXPECT_NE(pool_->getFloatVariable("light"), pool_->getFloatVariable("Light"));

    EXPECT_EQ(pool_->getTexture2Variable("Light")->getTexture(), nullptr);
    EXPECT_FALSE(pool_->getBoolVariable("Light")->getValue());
    EXPECT_EQ(pool_->getVector4Variable("Light")->getValue(), (Vector4{0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(pool_->getMatrix2Variable("Light")->getValue(), (Matrix2{{1.0f, 0.0f, 0.0f, 1.0f}}));
    EXPECT_EQ(pool_->getMatrix4Variable("Light")->getValue()[15], 1.0f);
    EXPECT_EQ(pool_->getMatrix4Variable("Light")->getValue()[12], 0.0f);

    pool_->setVector3("Light", {1.0f, 2.0f, 3.0f});
    pool_->getVector3Variable("Light")->reset();
    EXPECT_EQ(pool_->getVector3Variable("Light")->getValue(), (Vector3{0.0f, 0.0f, 0.0f}));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(VariablePool, InvalidKindsAreReportedAndCreateNothing)
{
    for (int kind : {0, 2, 3, 13, -1}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(pool_->getVariable("x", kind), nullptr);
    }
    EXPECT_EQ(pool_->getVariableCount(), 0);
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("Unknown variable type"), HasSubstr("Unknown variable type"),
                                          HasSubstr("Unknown variable type"), HasSubstr("Unknown variable type"),
                                          HasSubstr("Unknown variable type")));
}

TEST_F(VariablePool, AssignCopiesTheValueOfTheSameKindOnly)
{
    pool_->setFloat("a", 2.5f);
    pool_->setFloat("b", 1.0f);
    pool_->setInt("c", 9);
    pool_->getFloatVariable("b")->assign(*pool_->getFloatVariable("a"));
    pool_->getFloatVariable("b")->assign(*pool_->getIntVariable("c"));
    EXPECT_EQ(pool_->getFloatVariable("b")->getValue(), 2.5f);
    EXPECT_EQ(pool_->getFloatVariable("b")->getName(), "b");
}

TEST_F(VariablePool, ForgetTextureClearsEveryVariableThatPointsAtIt)
{
    // Never dereferenced: the pool only compares and clears the pointers.
    int first = 0;
    int second = 0;
    auto* gone = reinterpret_cast<QRVISXTexture2*>(&first);
    auto* kept = reinterpret_cast<QRVISXTexture2*>(&second);
    pool_->setTexture2("Diffuse", gone);
    pool_->setTexture2("Detail", gone);
    pool_->setTexture2("Bump", kept);

    pool_->forgetTexture(gone);

    EXPECT_EQ(pool_->getTexture2Variable("Diffuse")->getTexture(), nullptr);
    EXPECT_EQ(pool_->getTexture2Variable("Detail")->getTexture(), nullptr);
    EXPECT_EQ(pool_->getTexture2Variable("Bump")->getTexture(), kept);
}
