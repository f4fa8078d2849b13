#include "engine_fixture.h"

#include "core/qr_core_object.h"

#include <gtest/gtest.h>

TEST(ComputeNameID, KnownValues)
{
    EXPECT_EQ(computeNameID(""), 0u);
    EXPECT_EQ(computeNameID("abc"), 0x30040042u);
    EXPECT_EQ(computeNameID("\\ABC"), 0x30040042u);
    EXPECT_EQ(computeNameID("a"), 0x10000041u);
}

TEST(ComputeNameID, OnlyTheFirstBackslashIsDropped)
{
    EXPECT_NE(computeNameID("\\\\abc"), computeNameID("abc"));
    EXPECT_EQ(computeNameID("Models\\A.model"), computeNameID("\\models\\a.MODEL"));
}

TEST(ComputeNameID, LengthLivesInTheTopFourBits)
{
    EXPECT_EQ(computeNameID(std::string(16, 'x')) >> 28, 0u);
    EXPECT_EQ(computeNameID(std::string(17, 'x')) >> 28, 1u);
    // Characters below the blank count negatively and must wrap, not saturate.
    EXPECT_EQ(computeNameID("\t") , 0x10000000u | (static_cast<std::uint32_t>(9 - 32) & 0x0FFFFFFFu));
}

class ObjectTest : public EngineFixture {};

TEST_F(ObjectTest, SetNameRecomputesTheID)
{
    auto object = qrNew<QRObject>(nullptr, "first");
    object->setName("abc");
    EXPECT_EQ(object->getID(), 0x30040042u);
}

TEST_F(ObjectTest, AssignCopiesNameIDAndOwnerTogether)
{
    auto owner = qrNew<QRObject>(nullptr, "owner");
    auto source = qrNew<QRObject>(owner.get(), "source");
    auto target = qrNew<QRObject>(nullptr, "target");
    target->assign(*source);
    EXPECT_EQ(target->getName(), "source");
    EXPECT_EQ(target->getID(), computeNameID("source"));
    EXPECT_EQ(target->getOwner(), owner.get());
}

TEST_F(ObjectTest, DescriptionNamesClassAndDecimalID)
{
    auto object = qrNew<QRObject>(nullptr, "a");
    EXPECT_EQ(object->getDescription(), "Object: a (Class: QRObject ID:268435521)");
}

TEST_F(ObjectTest, WarningsCarryTheDescriptionAndErrorsTheFullHeader)
{
    auto object = qrNew<QRObject>(nullptr, "thing");
    object->logWarning("method", "careful");
    object->reportError("doIt", "it failed");
    const auto log = logText();
    EXPECT_NE(log.find("<div class = \"warning\">Object: thing (Class: QRObject ID:"), std::string::npos);
    EXPECT_NE(log.find("): careful</div>"), std::string::npos);
    const std::string error = "[ERROR] Object: thing (Class: QRObject) Method: doIt: \r\nit failed";
    EXPECT_NE(log.find("<div class = \"error\">" + error + "</div>"), std::string::npos);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0], error);
}
