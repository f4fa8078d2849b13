#include "engine_fixture.h"

#include "core/qr_core_log.h"
#include "math/qr_math_intersection.h"
#include "math/qr_math_main.h"
#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_random.h"
#include "math/qr_math_round.h"
#include "math/qr_math_util.h"
#include "math/qr_math_vector.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#if defined(__i386__) || defined(__x86_64__)
#include <fpu_control.h>
#endif

class QRMATHMainTest : public EngineFixture {};

TEST_F(QRMATHMainTest, IsInitializedAfterTheManagersAndBeforeTheUtilities)
{
    std::vector<std::string> texts;
    for (const auto& line : core().getLog()->getLines())
        texts.push_back(line.text);
    const auto position = [&](const std::string& text) { return std::find(texts.begin(), texts.end(), text) - texts.begin(); };
    EXPECT_LT(position("Object Managers Initialized!"), position("Math Classes Initialized!"));
    EXPECT_LT(position("Math Classes Initialized!"), position("Utility Classes Initialized!"));
}

TEST_F(QRMATHMainTest, MathObjectsAreNamedAfterTheirRole)
{
    QRMATHMain* math = core().getMath();
    ASSERT_NE(math, nullptr);
    EXPECT_EQ(math->getName(), "QR MATH Main");
    EXPECT_EQ(math->getOwner(), &core());
    const std::vector<std::pair<QRObject*, std::string>> parts = {
        {math->getVector2(), "QR MATH Vector2"},
        {math->getVector3(), "QR MATH Vector3"},
        {math->getVector4(), "QR MATH Vector4"},
        {math->getMatrix2(), "QR MATH Matrix2"},
        {math->getMatrix3(), "QR MATH Matrix3"},
        {math->getMatrix4(), "QR MATH Matrix4"},
        {math->getRound(), "QR MATH Round"},
        {math->getRandom(), "QR MATH Random"},
        {math->getQuaternion(), "QR MATH Quaternion"},
        {math->getUtil(), "QR MATH Util"},
    };
    for (const auto& [part, name] : parts) {
        EXPECT_EQ(part->getName(), name);
        EXPECT_EQ(part->getOwner(), math);
    }
    QRMATHUtil* util = math->getUtil();
    const std::vector<std::pair<QRObject*, std::string>> utilParts = {
        {util->getMovement(), "QR MATH Movement"},
        {util->getIntersection(), "QR MATH Intersection"},
        {util->getRaycast(), "QR MATH Raycast"},
        {util->getTransform(), "QR MATH Transform"},
    };
    for (const auto& [part, name] : utilParts) {
        EXPECT_EQ(part->getName(), name);
        EXPECT_EQ(part->getOwner(), util);
    }
}

TEST_F(QRMATHMainTest, AnUndefinedPrecisionModeIsReportedAndChangesNothing)
{
    QRMATHMain* math = core().getMath();
    EXPECT_EQ(math->getFloatingPointPrecision(), 0);
    math->setFloatingPointPrecision(3);
    math->setFloatingPointPrecision(-1);
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_EQ(shownBoxes()[0],
              "[ERROR] Object: QR MATH Main (Class: QRMATHMain) Method: setFloatingPointPrecision: \r\n"
              "Undefined precision mode (3)");
    EXPECT_EQ(math->getFloatingPointPrecision(), 0);
#if defined(__i386__) || defined(__x86_64__)
    fpu_control_t word;
    _FPU_GETCW(word);
    EXPECT_EQ(word & _FPU_EXTENDED, _FPU_SINGLE);
    math->setFloatingPointPrecision(2);
    _FPU_GETCW(word);
    EXPECT_EQ(word & _FPU_EXTENDED, _FPU_EXTENDED);
    math->setFloatingPointPrecision(0);
#endif
}

TEST_F(QRMATHMainTest, NumbersUseADotWhateverTheLocale)
{
    // The window framework adopts the user's locale; a German one writes "1,50".
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            chosen = name;
            break;
        }
    }
    ASSERT_NE(chosen, nullptr);
    {
        auto math = qrNew<QRMATHMain>(nullptr);
        EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C") << "was " << chosen;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", 1.5);
    EXPECT_STREQ(text, "1.50");
}
