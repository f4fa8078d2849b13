// Every test program runs inside a QApplication: the engine's main window, devices and message
// boxes are Qt widgets. Unit tests get the offscreen platform from CTest's environment.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
