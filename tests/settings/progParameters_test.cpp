#include "OptionsFixture.h"

#include "settings/ColorBox.h"
#include "settings/OptionSettings.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

QStringList tokensOf(const frmProgParameters &help, const QWidget *frame)
{
    QStringList tokens;
    for (const QLineEdit *token : help.txtParameter) {
        if (token->parentWidget() == frame)
            tokens << token->text();
    }
    return tokens;
}

} // namespace

TEST_F(OptionsTest, PlaceholderHelpShowsOneSectionAtATime)
{
    frmProgParameters &help = Forms::loadProgParameters();
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Parameters"));
    EXPECT_EQ(help.lblTitle->text(), QStringLiteral("Parameters"));
    ASSERT_EQ(help.cboSections->count(), 3);
    EXPECT_EQ(help.cboSections->itemText(0), QStringLiteral("Execute external application"));
    EXPECT_EQ(help.cboSections->itemText(1), QStringLiteral("ID3 Audio Tags"));
    EXPECT_EQ(help.cboSections->itemText(2), QStringLiteral("File Name Format"));

    struct Case {
        int index;
        QWidget *frmProgParameters::*frame;
        QStringList tokens;
    };
    const QList<Case> cases = {
        {1, &frmProgParameters::fraID3Tags,
         {"[PROG_NAME]", "[PROG_VERSION]", "[DATE]", "[TIME]", "[TRACK_NUM]", "[YEAR]", "[SOURCE_NAME]", "[ITEM_NAME]",
          "[RANGE]"}},
        {0, &frmProgParameters::fraAppNotic,
         {"[PROG_NAME]", "[PROG_VERSION]", "[FILE_RECORDED]", "[FILE_SIZE]", "[FILE_TIME_LENGTH]", "[FILE_CREATED]"}},
        {2, &frmProgParameters::fraExt,
         {"[file_name]", "[date]", "[time]", "[123]", "[source_extension]", "[dest_extension]", "[item_name]"}},
    };
    const QList<QWidget *> frames = {help.fraAppNotic, help.fraID3Tags, help.fraExt};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        help.cboSections->setCurrentIndex(c.index);
        for (QWidget *frame : frames)
            EXPECT_EQ(frame->isVisibleTo(&help), frame == help.*c.frame);
        EXPECT_EQ(tokensOf(help, help.*c.frame), c.tokens);
        // All sections share one place below the list.
        EXPECT_EQ((help.*c.frame)->pos(), help.fraAppNotic->pos());
        EXPECT_GT((help.*c.frame)->y(), help.cboSections->y() + help.cboSections->height());
    }
    for (const QLineEdit *token : help.txtParameter)
        EXPECT_TRUE(token->isReadOnly());

    help.cboSections->setCurrentIndex(-1);
    for (QWidget *frame : frames)
        EXPECT_FALSE(frame->isVisibleTo(&help));

    help.cmdOk_Click();
    EXPECT_EQ(Forms::progParameters(), nullptr);
}

TEST_F(OptionsTest, PlaceholderHelpTakesThePublishedTitleColours)
{
    g_lTitleBackColor = 0x0000FF;
    g_lTitleTextColor = 0x00FF00;
    frmProgParameters &help = Forms::loadProgParameters();
    EXPECT_EQ(help.picTitle->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(help.lblTitle->palette().color(QPalette::WindowText), QColor(0, 255, 0));
}
