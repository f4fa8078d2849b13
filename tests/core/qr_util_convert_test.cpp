#include "engine_fixture.h"

#include "core/qr_util_convert.h"
#include "core/qr_util_main.h"

#include <gtest/gtest.h>

class ConvertTest : public EngineFixture {};

TEST_F(ConvertTest, TextToNumbersAndTheirFailures)
{
    EXPECT_EQ(QRUTILConvert::toInt("-42"), -42);
    EXPECT_EQ(QRUTILConvert::toInt("+7"), 7);
    EXPECT_EQ(QRUTILConvert::toFloat("2.5"), 2.5f);
    EXPECT_EQ(QRUTILConvert::toFloat("-.5e1"), -5.0f);
    EXPECT_EQ(QRUTILConvert::toByte("255"), 255);
    EXPECT_TRUE(shownBoxes().empty());

    EXPECT_EQ(QRUTILConvert::toInt("12abc"), 0);
    EXPECT_EQ(QRUTILConvert::toInt("4294967296"), 0);
    EXPECT_EQ(QRUTILConvert::toFloat("2,5"), 0.0f);
    EXPECT_EQ(QRUTILConvert::toFloat("inf"), 0.0f);
    EXPECT_EQ(QRUTILConvert::toByte("256"), 0);
    ASSERT_EQ(shownBoxes().size(), 5u);
    EXPECT_NE(shownBoxes()[0].find("Object: QR UTIL Convert (Class: QRUTILConvert) Method: toInt: \r\n"
                                   "Could not convert string \"12abc\" to type QRInt"),
              std::string::npos)
        << shownBoxes()[0];
    EXPECT_NE(shownBoxes()[2].find("toFloat: \r\nCould not convert string \"2,5\" to type QRFloat"), std::string::npos);
    EXPECT_NE(shownBoxes()[4].find("toByte: \r\nCould not convert string \"256\" to type QRByte"), std::string::npos);

    qrUtilities()->getConvert()->setReportErrors(false);
    EXPECT_EQ(QRUTILConvert::toInt("x"), 0);
    EXPECT_EQ(shownBoxes().size(), 5u);
}

TEST_F(ConvertTest, BooleanWords)
{
    EXPECT_TRUE(QRUTILConvert::toBool("on"));
    EXPECT_TRUE(QRUTILConvert::toBool("True"));
    EXPECT_TRUE(QRUTILConvert::toBool("1"));
    EXPECT_FALSE(QRUTILConvert::toBool("Off"));
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_FALSE(QRUTILConvert::toBool("yes"));
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Could not convert string \"yes\" to type QRBool"), std::string::npos);
    EXPECT_TRUE(QRUTILConvert::isBoolWord("TRUE"));
    EXPECT_FALSE(QRUTILConvert::isBoolWord("true"));
}

TEST_F(ConvertTest, NumbersToText)
{
    EXPECT_EQ(QRUTILConvert::fromIntPadded(7, 3), "007");
    EXPECT_EQ(QRUTILConvert::fromIntPadded(-7, 3), "-07");
    EXPECT_EQ(QRUTILConvert::fromIntPadded(1234, 2), "1234");
    EXPECT_EQ(QRUTILConvert::fromFloat(1.5f), "1.50");
    EXPECT_EQ(QRUTILConvert::fromFloat(-0.001f), "0.00");
    EXPECT_EQ(QRUTILConvert::fromFloat(2.675f), "2.67") << "the single nearest 2.675 lies below it";
    EXPECT_EQ(QRUTILConvert::fromVector3({1, -2.5f, 1000}), "(1.00, -2.50, 1000.00)");
    EXPECT_EQ(QRUTILConvert::fromBool(false), "FALSE");
    EXPECT_EQ(QRUTILConvert::vector3To4({1, 2, 3}), (Vector4{1, 2, 3, 0}));
}
