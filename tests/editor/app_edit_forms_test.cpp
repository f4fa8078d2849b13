#include "engine_fixture.h"

#include "editor/app_edit_cursor.h"
#include "editor/app_edit_formedit.h"
#include "editor/app_edit_formentity.h"
#include "entities/app_entt_actor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class FormEditTest : public EngineFixture {
protected:
    FormEditTest() : form_(core().getMainForm())
    {
        form_.setToolHandler([this](int tool) { chosen_.push_back(tool); });
    }
    template <class T>
    T* child(const char* name)
    {
        auto* found = form_.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QToolButton* button(int tool)
    {
        for (const auto& [name, buttonTool] : TFormEdit::toolButtons())
            if (buttonTool == tool)
                return form_.findChild<QToolButton*>(name);
        return nullptr;
    }
    // A real click on a list entry, as the user makes it.
    void clickEntry(QListWidget* list, int row)
    {
        const QPoint centre = list->visualItemRect(list->item(row)).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, centre, list->viewport()->mapToGlobal(centre), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(list->viewport(), &event);
        }
    }

    TFormEdit form_;
    std::vector<int> chosen_;
};

} // namespace

TEST_F(FormEditTest, CaptionsAndDefaults)
{
    EXPECT_EQ(form_.windowTitle(), "Edit Tools");
    EXPECT_EQ(form_.size(), QSize(296, 400));
    EXPECT_TRUE(form_.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ((form_.windowFlags() & Qt::WindowType_Mask), Qt::Tool);
    const std::pair<const char*, const char*> captions[] = {
        {"BtnTerrainRaise", "Raise Terrain"},
        {"BtnTerrainLower", "Lower Terrain"},
        {"BtnTerrainRough", "Make Rough"},
        {"BtnTerrainSmooth", "Make Smooth"},
        {"BtnTerrainImportHeightmap", "Import Heightmap for Block"},
        {"BtnGroundSet", "Set Ground Type"},
        {"BtnGroundStreetSet", "Set Street"},
        {"BtnGroundStreetDelete", "Delete Street"},
        {"BtnGroundImportGroundMap", "Import Ground Map for Block"},
        {"BtnEntityNew", "Create new Entity"},
        {"BtnEntityEdit", "Edit Entity"},
        {"BtnEntityMove", "Move Entity"},
        {"BtnEntityRotate", "Rotate"},
        {"BtnEntityPlaceOnGround", "Place on Ground"},
        {"BtnEntityDelete", "Delete"},
    };
    for (const auto& [name, caption] : captions) {
        auto* tool = child<QToolButton>(name);
        ASSERT_NE(tool, nullptr);
        EXPECT_EQ(tool->text(), caption);
        EXPECT_FALSE(tool->isChecked()) << name;
    }
    for (const char* name : {"TBTerrainBrushSize", "TBTerrainIntensity"}) {
        auto* bar = child<QSlider>(name);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 10);
        EXPECT_EQ(bar->value(), 2);
    }
    auto* pages = child<QTabWidget>("PCEdit");
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(0), "Terrain Sculpting");
    EXPECT_EQ(pages->tabText(1), "Ground");
    EXPECT_EQ(pages->tabText(pages->currentIndex()), "Entities");
    auto* entityPages = child<QTabWidget>("PCEntities");
    EXPECT_EQ(entityPages->tabText(entityPages->currentIndex()), "Environment Models");
    EXPECT_EQ(entityPages->tabText(1), "Actors");
    EXPECT_TRUE(form_.isEnvironmentModelsPageActive());

    auto* ground = child<QListWidget>("LBGroundType");
    ASSERT_EQ(ground->count(), 2);
    EXPECT_EQ(ground->item(1)->text(), "Concrete");
    auto* actors = child<QListWidget>("LBActors");
    ASSERT_EQ(actors->count(), 4);
    EXPECT_EQ(actors->item(3)->text(), "Coder Monkey");
    EXPECT_FALSE(child<QCheckBox>("CBEntityRandomOrientation")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("CBEntityRandomSize")->isChecked());
    EXPECT_EQ(child<QRadioButton>("RBManipulationXZ")->text(), "XZ");
    EXPECT_TRUE(form_.isManipulationXZ());
    EXPECT_TRUE(child<QRadioButton>("RBRot0")->isChecked());
    child<QRadioButton>("RBRot135")->click();
    EXPECT_EQ(form_.getRotationPosition(), 135);
}

TEST_F(FormEditTest, ListsShowModelsSortedAndAClickInAListChoosesItsTool)
{
    form_.setModelNames({"tree", "bench", "lamp"});
    auto* models = child<QListWidget>("LBEnvironmentModels");
    EXPECT_EQ(models->item(0)->text(), "bench");
    EXPECT_EQ(form_.getSelectedModelName(), "") << "none selected";

    form_.show();
    QApplication::processEvents();
    clickEntry(models, 2);
    EXPECT_EQ(form_.getSelectedModelName(), "tree");
    clickEntry(child<QListWidget>("LBActors"), 2);
    EXPECT_EQ(form_.getActor(), 2) << "the click selects the entry";
    clickEntry(child<QListWidget>("LBGroundType"), 1);
    EXPECT_EQ(form_.getGroundType(), 1);
    EXPECT_EQ(chosen_, std::vector<int>({APPEDITCursor::CreateEntity, APPEDITCursor::CreateEntity,
                                          APPEDITCursor::SetGroundType}));
}

TEST_F(FormEditTest, AtMostOneToolButtonIsDownAndPlaceOnGroundKeepsItsOwnState)
{
    button(APPEDITCursor::MoveEntity)->click();
    EXPECT_EQ(chosen_.back(), APPEDITCursor::MoveEntity);
    button(APPEDITCursor::PlaceOnGround)->click();
    EXPECT_EQ(chosen_.back(), APPEDITCursor::PlaceOnGround);
    EXPECT_FALSE(button(APPEDITCursor::MoveEntity)->isChecked()) << "the group lets the other button up";
    EXPECT_TRUE(button(APPEDITCursor::PlaceOnGround)->isChecked());

    form_.setToolDown(APPEDITCursor::None);
    EXPECT_TRUE(button(APPEDITCursor::PlaceOnGround)->isChecked()) << "selecting no tool leaves it to the group";
    form_.setToolDown(APPEDITCursor::RaiseTerrain);
    EXPECT_TRUE(button(APPEDITCursor::RaiseTerrain)->isChecked());
    EXPECT_FALSE(button(APPEDITCursor::PlaceOnGround)->isChecked()) << "another button went down";
}

namespace {

class FormEntityTest : public EngineFixture {
protected:
    FormEntityTest() : form_(core().getMainForm()), actor_(qrNew<APPENTTActor>(nullptr, Vector3{1.0f, 2.0f, 3.0f}))
    {
    }
    // Runs while the dialog is up.
    void whileShown(std::function<void()> act)
    {
        QTimer::singleShot(0, &form_, [this, act] {
            ASSERT_TRUE(form_.isVisible());
            act();
        });
    }
    QLineEdit* edit(const char* name) { return form_.findChild<QLineEdit*>(name); }

    TFormEntity form_;
    QROwned<APPENTTActor> actor_;
};

} // namespace

TEST_F(FormEntityTest, TheEntityShowsItsPagesAndReadsThemBackOnlyOnOK)
{
    EXPECT_EQ(form_.windowTitle(), "Entity Attributes");
    EXPECT_EQ(form_.size(), QSize(400, 287));

    struct Case {
        const char* what;
        std::function<void()> close;
        bool changed;
    };
    const Case cases[] = {
        {"Cancel", [this] { form_.reject(); }, false},
        {"Escape",
         [this] {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&form_, &escape);
         },
         false},
        {"OK", [this] { form_.accept(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        whileShown([&] {
            EXPECT_TRUE(form_.isTabShown("Main"));
            EXPECT_TRUE(form_.isTabShown("Actor"));
            EXPECT_FALSE(form_.isTabShown("EnvironmentModel"));
            EXPECT_FALSE(form_.isTabShown("Character"));
            EXPECT_EQ(edit("EMainPositionY")->text(), "2.00");
            edit("EMainName")->setText("Monkey Boss");
            edit("EMainPositionX")->setText("7.5");
            edit("EActorHealth")->setText("42");
            form_.findChild<QCheckBox*>("CBActorTargetable")->setChecked(false);
            c.close();
        });
        EXPECT_EQ(actor_->editAttributes(form_), c.changed);
        EXPECT_EQ(actor_->getName(), c.changed ? "Monkey Boss" : "Entity");
        EXPECT_EQ(actor_->getPosition().x, c.changed ? 7.5f : 1.0f);
        EXPECT_EQ(actor_->getHealth(), c.changed ? 42 : -1);
    }
}

TEST_F(FormEntityTest, TheModelListSelectsOnlyWhatItHolds)
{
    form_.setItems("CBEnvironmentModelModel", {"bench", "tree"});
    EXPECT_EQ(form_.getText("CBEnvironmentModelModel"), "");
    form_.setText("CBEnvironmentModelModel", "tree");
    EXPECT_EQ(form_.getText("CBEnvironmentModelModel"), "tree");
    form_.setText("CBEnvironmentModelModel", "rock");
    EXPECT_EQ(form_.getText("CBEnvironmentModelModel"), "");
}

TEST_F(FormEntityTest, OKWaitsForValidValuesAndTheFieldKeepsWhatWasTyped)
{
    struct Step {
        const char* control;
        const char* typed;
        const char* fault;
    };
    // Each step types into one field; the fault named is the first of the dialog's fields.
    const Step steps[] = {
        {"EMainPositionX", "abc", "Position X"}, {"EMainPositionX", "", "Position X"},
        {"EMainPositionX", "3000", "Position X"}, {"EMainPositionX", "7.5", nullptr},
        {"EMainSize", "0", "Size"},               {"EMainSize", "0.5", nullptr},
        {"EActorHealth", "lots", "Health"},       {"EActorHealth", "42", nullptr},
    };
    whileShown([&] {
        QPushButton* ok = form_.findChild<QPushButton*>("OK");
        const QLabel* message = form_.findChild<QLabel*>("LMessage");
        ASSERT_TRUE(ok && message);
        for (const Step& step : steps) {
            SCOPED_TRACE(std::string(step.control) + " = " + step.typed);
            edit(step.control)->setText(step.typed);
            EXPECT_EQ(edit(step.control)->text(), step.typed);
            EXPECT_EQ(ok->isEnabled(), step.fault == nullptr);
            if (step.fault)
                EXPECT_TRUE(message->text().startsWith(step.fault)) << message->text().toStdString();
            else
                EXPECT_TRUE(message->text().isEmpty()) << message->text().toStdString();
            if (step.fault) {
                ok->click();
                EXPECT_TRUE(form_.isVisible()) << "OK went through with a fault";
            }
        }
        ok->click();
    });
    EXPECT_TRUE(actor_->editAttributes(form_));
    EXPECT_EQ(actor_->getPosition().x, 7.5f);
    EXPECT_EQ(actor_->getSize(), 0.5f);
    EXPECT_EQ(actor_->getHealth(), 42);
}
