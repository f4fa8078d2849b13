#include "engine_fixture.h"

#include "core/qr_util_forms.h"
#include "resource/qr_resc_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

class FormsTest : public EngineFixture {
protected:
    FormsTest()
    {
        for (int i = 0; i < 40; ++i)
            objects.push_back(std::make_unique<QRObject>(nullptr, "item " + std::to_string(i)));
        for (auto& object : objects)
            list->add(object.get());
    }
    std::vector<std::unique_ptr<QRObject>> objects;
    QROwned<QRRESCList> list = qrNew<QRRESCList>(nullptr, false);
};

TEST_F(FormsTest, EditFieldsShowTheEngineFormsAndReadBackThroughTheConversions)
{
    QLineEdit x, y, z;
    QRUTILForms::setEditVector3(x, y, z, {1.5f, -2.0f, 1000.126f});
    EXPECT_EQ(x.text(), "1.50");
    EXPECT_EQ(y.text(), "-2.00");
    EXPECT_EQ(z.text(), "1000.13");
    EXPECT_EQ(QRUTILForms::getEditVector3(x, y, z), (Vector3{1.5f, -2.0f, 1000.13f}));

    QRUTILForms::setEditInt(x, -12);
    EXPECT_EQ(QRUTILForms::getEditInt(x), -12);
    QRUTILForms::setEditString(x, "models\\tree.model");
    EXPECT_EQ(QRUTILForms::getEditString(x), "models\\tree.model");
    EXPECT_EQ(QRUTILForms::getEditInt(x), 0);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("to type QRInt"), std::string::npos);

    QCheckBox box;
    QRUTILForms::setCheckBox(box, true);
    EXPECT_TRUE(QRUTILForms::getCheckBox(box));
}

TEST_F(FormsTest, ListBoxesKeepTheirTopRowAndSelection)
{
    QListWidget box;
    box.resize(200, 100);
    box.show();
    list->fillListControl(&box, true);
    ASSERT_EQ(box.count(), 41);
    EXPECT_EQ(box.item(0)->text(), "none");
    box.setCurrentRow(30);
    box.scrollToItem(box.item(25), QAbstractItemView::PositionAtTop);
    const int top = box.row(box.itemAt(0, 0));

    QRUTILForms::fillListBox(box, *list);
    ASSERT_EQ(box.count(), 40);
    EXPECT_EQ(box.item(0)->text(), "item 0");
    EXPECT_EQ(box.currentRow(), 30);
    EXPECT_EQ(box.row(box.itemAt(0, 0)), top);
}

TEST_F(FormsTest, ComboBoxesKeepTheirSelection)
{
    QComboBox box;
    QRUTILForms::fillComboBox(box, *list);
    box.setCurrentIndex(7);
    list->deleteAt(39);
    list->fillListControl(&box, true);
    EXPECT_EQ(box.count(), 40);
    EXPECT_EQ(box.currentIndex(), 7);
    EXPECT_EQ(box.itemText(0), "none");
}
