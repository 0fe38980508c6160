#include "support/TestEnvironment.h"

#include "core/mdlOnTop.h"
#include "core/mdlSetFormIcon32.h"
#include "core/mdlTransparent.h"

#include <QDialog>
#include <QWidget>
#include <gtest/gtest.h>

TEST(WindowProcedures, TranslucencyRefusesAlphaOutsideAByteAndClearsBackToOpaque)
{
    QWidget window;
    struct Case {
        int alpha;
        int result;
        double opacity;
    };
    for (const Case &c : {Case{256, 1, 1.0}, Case{-1, 1, 1.0}, Case{0, 0, 0.0}, Case{90, 0, 90 / 255.0}, Case{255, 0, 1.0}}) {
        SCOPED_TRACE(c.alpha);
        mdlTransparent::ClearTranslucency(&window);
        EXPECT_EQ(mdlTransparent::SetTranslucency(&window, c.alpha), c.result);
        EXPECT_NEAR(window.windowOpacity(), c.opacity, 0.01);
    }
    EXPECT_EQ(mdlTransparent::ClearTranslucency(&window), 0);
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);
}

TEST(WindowProcedures, OnTopAndBackKeepsThePlaceAndShowsTheWindow)
{
    QWidget window;
    window.setGeometry(120, 90, 300, 200);
    mdlOnTop::SetFormOnTop(&window, true);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(mdlOnTop::IsOnTop());
    mdlOnTop::SetFormOnTop(&window, false);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(mdlOnTop::IsOnTop());
    EXPECT_EQ(window.size(), QSize(300, 200));
}

TEST(WindowProcedures, IconGoesToTheWindowAndItsTopOwner)
{
    QWidget owner;
    QDialog dialog(&owner);
    mdlSetFormIcon32::SetFormIcon(&dialog, QStringLiteral("cut"), true);
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_EQ(owner.windowIcon().cacheKey(), dialog.windowIcon().cacheKey());

    // A name without a resource leaves the window without an icon of its own.
    QDialog editor;
    mdlSetFormIcon32::SetFormIcon(&editor, QStringLiteral("text_align_left"), true);
    EXPECT_TRUE(mdlSetFormIcon32::ResourceIcon(QStringLiteral("text_align_left")).isNull());
}
