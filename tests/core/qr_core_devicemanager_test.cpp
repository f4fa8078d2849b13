#include "engine_fixture.h"

#include "core/qr_core_device.h"
#include "core/qr_core_devicemanager.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>

class DeviceManagerTest : public EngineFixture {
protected:
    QRCOREDeviceManager& devices() { return *core().getDeviceManager(); }
};

TEST_F(DeviceManagerTest, MainFormIsRegisteredAtConstruction)
{
    auto* device = dynamic_cast<QRCOREControlDevice*>(devices().findDevice("main form"));
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->getControl(), core().getMainForm());
}

TEST_F(DeviceManagerTest, ControlDeviceRules)
{
    QWidget panel;
    auto* first = devices().createControlDevice("Visual Device", &panel);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(devices().createControlDevice("Other Name", &panel), first) << "one device per control";
    QWidget other;
    EXPECT_EQ(devices().createControlDevice("visual device", &other), first) << "found by name";
    EXPECT_EQ(devices().createControlDevice("Missing", nullptr), nullptr);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Method: createControlDevice: \r\nDevice has to be bound to a control"),
              std::string::npos);
}

TEST_F(DeviceManagerTest, NamesOfTheOtherKindAreRefused)
{
    QWidget panel;
    ASSERT_NE(devices().createVirtualDevice("Shadow", 1024, 1024), nullptr);
    EXPECT_EQ(devices().createVirtualDevice("Shadow", 8, 8)->getWidth(), 1024) << "existing one is returned";
    EXPECT_EQ(devices().createControlDevice("Shadow", &panel), nullptr);
    EXPECT_EQ(devices().createVirtualDevice("Main Form", 4, 4), nullptr);
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_NE(shownBoxes()[0].find("A device has been found by the name \"Shadow\", but it is no valid control device."),
              std::string::npos);
    EXPECT_NE(shownBoxes()[1].find("A device has been found by the name \"Main Form\", but it is no valid virtual device."),
              std::string::npos);
}

TEST_F(DeviceManagerTest, RemovingDestroysTheDevice)
{
    const int before = devices().getCount();
    devices().removeDevice(devices().createVirtualDevice("Temp", 2, 2));
    EXPECT_EQ(devices().getCount(), before);
    EXPECT_EQ(devices().findDevice("Temp"), nullptr);
}

TEST(Device, ViewCoordinatesAreHalfHeightUnitsWithYUp)
{
    QRCOREVirtualDevice device(nullptr, 640, 480, "v");
    EXPECT_FLOAT_EQ(device.getAspectRatio(), 640.0f / 480.0f);
    EXPECT_FLOAT_EQ(device.getPixelSize(), 1.0f / 240.0f);
    auto [cx, cy] = device.toViewCoordinates(320, 240);
    EXPECT_FLOAT_EQ(cx, 0.0f);
    EXPECT_FLOAT_EQ(cy, 0.0f);
    auto [tx, ty] = device.toViewCoordinates(320, 0);
    EXPECT_FLOAT_EQ(tx, 0.0f);
    EXPECT_FLOAT_EQ(ty, 1.0f);
    auto [rx, ry] = device.toViewCoordinates(640, 480);
    EXPECT_FLOAT_EQ(rx, 320.0f / 240.0f);
    EXPECT_FLOAT_EQ(ry, -1.0f);
    EXPECT_TRUE(device.hasSize(640, 480));
    EXPECT_TRUE(device.hasAspect({640.0f / 480.0f, 1.0f}));
}

TEST(Device, PanelWithoutHeightKeepsFiniteViewMeasures)
{
    for (const int height : {0, -3}) {
        QRCOREVirtualDevice device(nullptr, 640, height, "squeezed");
        EXPECT_TRUE(std::isfinite(device.getAspectRatio())) << height;
        EXPECT_TRUE(std::isfinite(device.getPixelSize())) << height;
        const auto [x, y] = device.toViewCoordinates(320.0f, 10.0f);
        EXPECT_TRUE(std::isfinite(x) && std::isfinite(y)) << height;
    }
}

TEST(Device, ControlBoundsAreTheClientRectangleOnScreen)
{
    QWidget window;
    window.setGeometry(100, 50, 200, 100);
    QRCOREControlDevice device(nullptr, &window, "c");
    const auto [left, top, bottom, right] = device.getBounds();
    EXPECT_EQ(right - left, 200);
    EXPECT_EQ(bottom - top, 100);
    const QPoint origin = window.mapToGlobal(QPoint(0, 0));
    auto [x, y] = device.toViewCoordinates(static_cast<float>(origin.x() + 100), static_cast<float>(origin.y()));
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 1.0f);
}
