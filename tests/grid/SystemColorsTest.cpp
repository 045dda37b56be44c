#include "grid/model/GridColor.h"
#include "platform/misc/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

TEST(SystemColors, ResolvesStoredColours)
{
    int Argc = 1;
    char Name[] = "test";
    char* Argv[] = { Name };
    QGuiApplication App(Argc, Argv);
    EXPECT_EQ(TSystemColors::Resolve(RGBColor(255, 0, 0)), QColor(255, 0, 0));
    EXPECT_EQ(TSystemColors::Resolve(0x00804020), QColor(0x20, 0x40, 0x80));
    EXPECT_EQ(TSystemColors::Resolve(clBtnFace), App.palette().color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(TSystemColors::Resolve(4278190085u), App.palette().color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(TSystemColors::Resolve(0xFF0000FF), QColor(Qt::black));
}
