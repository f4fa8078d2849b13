#include "engine_fixture.h"

#include "resource/qr_resc_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {
int gDestroyed = 0;

class Tracked : public QRObject {
public:
    Tracked(std::string_view name) : QRObject(nullptr, name) {}
    ~Tracked() override { ++gDestroyed; }
};
} // namespace

class ResourceListTest : public ::testing::Test {
protected:
    ResourceListTest() { gDestroyed = 0; }
};

TEST_F(ResourceListTest, UniqueListIgnoresNullAndRepeats)
{
    auto list = qrNew<QRRESCList>(nullptr, false);
    Tracked a("a");
    list->add(nullptr);
    list->add(&a);
    list->add(&a);
    EXPECT_EQ(list->getCount(), 1);
    list->setAllowDuplicates(true);
    list->add(&a);
    EXPECT_EQ(list->getCount(), 2);
    EXPECT_EQ(list->getLastIndex(), 1);
    EXPECT_EQ(list->remove(&a), 0);
    EXPECT_EQ(list->getCount(), 1);
    list->clear();
    EXPECT_EQ(list->remove(&a), -1);
    EXPECT_EQ(list->getLastIndex(), -1);
    EXPECT_EQ(gDestroyed, 0) << "a non-owning list never destroys";
}

TEST_F(ResourceListTest, OwningListDestroysWhatItRemovesAndHoldsAtTheEnd)
{
    {
        auto list = qrNew<QRRESCList>(nullptr, true);
        list->add(new Tracked("a"));
        list->add(new Tracked("b"));
        list->add(new Tracked("c"));
        list->deleteAt(1);
        EXPECT_EQ(gDestroyed, 1);
        list->deleteAt(7);
        list->deleteAt(-1);
        EXPECT_EQ(list->getCount(), 2);
        EXPECT_EQ(list->get(1)->getName(), "c");
    }
    EXPECT_EQ(gDestroyed, 3);
}

TEST_F(ResourceListTest, OutOfRangeGetThrows)
{
    auto list = qrNew<QRRESCList>(nullptr, false);
    Tracked a("a");
    list->add(&a);
    for (int index : {1, -1, 5})
        EXPECT_THAT([&] { list->get(index); },
                    ::testing::ThrowsMessage<std::out_of_range>(
                        ::testing::HasSubstr("List index out of bounds (resource\\qr_resc_list)")))
            << index;
    EXPECT_EQ(list->get(0), &a);
}

TEST_F(ResourceListTest, FindByNameIgnoresCaseAndLeadingSeparator)
{
    auto list = qrNew<QRRESCList>(nullptr, false);
    Tracked sky("Sky"), ground("ground");
    list->add(&sky);
    list->add(&ground);
    EXPECT_EQ(list->findByName("\\SKY"), &sky);
    EXPECT_EQ(list->findByName("water"), nullptr);
}

TEST_F(ResourceListTest, AssignCopiesItemsButNeverOwnership)
{
    auto owning = qrNew<QRRESCList>(nullptr, true);
    owning->setAllowDuplicates(true);
    owning->add(new Tracked("a"));
    {
        auto copy = qrNew<QRRESCList>(nullptr, true);
        copy->assign(*owning);
        EXPECT_EQ(copy->getCount(), 1);
        EXPECT_TRUE(copy->getAllowDuplicates());
        EXPECT_FALSE(copy->getOwnsObjects());
    }
    EXPECT_EQ(gDestroyed, 0);

    owning->assign(*owning);
    EXPECT_EQ(owning->getCount(), 1) << "assigning a list to itself keeps it";
    EXPECT_EQ(gDestroyed, 0);
}
