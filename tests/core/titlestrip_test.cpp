#include "support/TestEnvironment.h"

#include "core/frmAbout.h"
#include "core/frmFileCopy.h"
#include "core/mdlModes.h"
#include "settings/OptionSettings.h"

#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace {

// The title colours the user picked, as the options publish them.
class TitleColours : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_lTitleBackColor = 0x00FF8040; // red 0x40, green 0x80, blue 0xFF
        g_lTitleTextColor = 0x0000FFFF; // yellow
    }

    static void expectTitle(const QWidget *picTitle, const QLabel *lblTitle)
    {
        EXPECT_EQ(picTitle->palette().color(QPalette::Window), QColor(0x40, 0x80, 0xFF));
        EXPECT_TRUE(picTitle->autoFillBackground());
        EXPECT_EQ(lblTitle->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0));
    }
};

} // namespace

TEST_F(TitleColours, AboutAndFileCopyWindowsTakeTheUsersTitleColours)
{
    frmAbout about;
    expectTitle(about.picTitle, about.lblTitle);

    frmFileCopy copy;
    expectTitle(copy.picTitle, copy.lblTitle);
    EXPECT_EQ(copy.ProgressBar1->palette().color(QPalette::Highlight), QColor(0x40, 0x80, 0xFF));
}
