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

TEST_F(ObjectManagerTest, UnregisteringTakesTheEarliestEntryAndKeepsTheOrderOfTheRest)
{
    auto* manager = qrManagers()->getObjectManager();
    auto a = qrNew<QRObject>(nullptr, "a");
    auto b = qrNew<QRObject>(nullptr, "b");
    auto c = qrNew<QRObject>(nullptr, "c");
    manager->registerObject(a.get()); // a second entry, after c
    manager->unregisterObject(b.get());
    manager->unregisterObject(a.get());
    manager->logObjectList();
    const std::string log = logText();
    const auto listed = [&](const QROwned<QRObject>& object) {
        return log.find("<div>  " + object->getDescription() + "</div>");
    };
    ASSERT_NE(listed(c), std::string::npos);
    ASSERT_NE(listed(a), std::string::npos);
    EXPECT_LT(listed(c), listed(a)) << "the entry of a that remains is the one after c";
    EXPECT_EQ(listed(b), std::string::npos);
    manager->registerObject(b.get()); // b unregisters itself when it goes
}
