#include "engine_fixture.h"

#include "core/qr_mngr_main.h"
#include "core/qr_mngr_objectmanager.h"

#include <gtest/gtest.h>

class ObjectManagerTest : public EngineFixture {};

TEST_F(ObjectManagerTest, CountsRegistrationsAndRemovals)
{
    auto* manager = qrManagers()->getObjectManager();
    const int before = manager->getCount();
    {
        auto a = qrNew<QRObject>(nullptr, "a");
        auto b = qrNew<QRObject>(nullptr, "b");
        EXPECT_EQ(manager->getCount(), before + 2);
    }
    EXPECT_EQ(manager->getCount(), before);
}

TEST_F(ObjectManagerTest, LeaksAreListedAndAnnouncedAtShutDown)
{
    QROwned<QRObject> first = qrNew<QRObject>(nullptr, "leak one");
    QROwned<QRObject> second = qrNew<QRObject>(nullptr, "leak two");
    shutDownCore();
    const auto log = logText();
    const std::string expected = "<div>&nbsp;</div>\r\n<div>Object list in object manager:</div>\r\n"
                                 "<div>  " + first->getDescription() + "</div>\r\n"
                                 "<div>  " + second->getDescription() + "</div>\r\n"
                                 "<div>Object list end</div>\r\n<div>&nbsp;</div>\r\n";
    EXPECT_NE(log.find(expected), std::string::npos) << log;
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0], "[OBJECT MANAGER] Possible memory leak: There are still 2 instances left!");
}
