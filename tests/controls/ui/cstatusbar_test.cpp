#include "controls/ui/OleColor.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cProgressBar.h"
#include "controls/ui/cImageList.h"
#include "controls/ui/cStatusBar.h"

#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The main window's four panels.
class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EXPECT_EQ(bar.AddPanel(0, QString(), QString(), 47, 120, false, false, 0, QStringLiteral("Main")), 1);
        EXPECT_EQ(bar.AddPanel(0, QString(), QString(), -1, 180, false, false, 0, QStringLiteral("Items List Properties")), 2);
        EXPECT_EQ(bar.AddPanel(0, QStringLiteral("Notes [ Empty ]"), QStringLiteral("Notes"), 8, 250, false, false, 0,
                               QStringLiteral("Notes")),
                  3);
        EXPECT_EQ(bar.AddPanel(0, QStringLiteral("Master Volume"), QString(), 79, 64, false, false, 0,
                               QStringLiteral("Master Volume")),
                  4);
    }

    cStatusBar bar;
};

TEST_F(StatusBarTest, PanelsAreReachedByKeyOrByPosition)
{
    bar.setPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
    bar.setPanelText(1 + 2, QStringLiteral("3 Items."));
    struct Case {
        const char *key;
        int index;
        const char *text;
    };
    const Case cases[] = {
        {"Main", 1, "Ready."},
        {"Items List Properties", 2, ""},
        {"Notes", 3, "3 Items."},
        {"Master Volume", 4, "Master Volume"},
        {"main", 0, ""}, // keys compare exactly
        {"Total Size", 0, ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(bar.PanelIndex(QLatin1String(c.key)), c.index) << c.key;
        EXPECT_EQ(bar.PanelText(QLatin1String(c.key)), QLatin1String(c.text)) << c.key;
        if (c.index > 0) {
            EXPECT_EQ(bar.PanelKey(c.index), QLatin1String(c.key));
            EXPECT_EQ(bar.PanelText(c.index), QLatin1String(c.text));
        }
    }
    bar.setPanelText(QStringLiteral("Total Size"), QStringLiteral("lost"));
    bar.setPanelText(9, QStringLiteral("lost"));
    EXPECT_EQ(bar.PanelCount(), 4) << "writing a missing panel adds none";
    EXPECT_EQ(bar.PanelKey(0), QString());
    EXPECT_EQ(bar.AddPanel(0, QString(), QString(), -1, 10, false, false, 0, QStringLiteral("Main")), 0);
    EXPECT_EQ(bar.PanelCount(), 4);
}

TEST_F(StatusBarTest, IconsComeFromTheImageList)
{
    cImageList images;
    for (int i = 0; i < 80; ++i) {
        QPixmap p(16, 16);
        p.fill(QColor::fromHsv(i * 4, 255, 255));
        images.AddIcon(QIcon(p));
    }
    bar.setImageList(&images);
    EXPECT_EQ(bar.PanelIcon(QStringLiteral("Main")), 47);
    bar.setPanelIcon(QStringLiteral("Main"), 5);
    EXPECT_EQ(bar.PanelIcon(1), 5);
    auto *main = qobject_cast<QToolButton *>(bar.panelWidget(1));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->icon().pixmap(16, 16).toImage(), images.ItemPicture(5).toImage());
    auto *properties = qobject_cast<QToolButton *>(bar.panelWidget(2));
    EXPECT_TRUE(properties->icon().isNull());
}

TEST_F(StatusBarTest, AClickNamesThePanel)
{
    bar.resize(800, 30);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QSignalSpy click(&bar, &cStatusBar::PanelClick);
    QWidget *notes = bar.panelWidget(3);
    QTest::mouseClick(notes, Qt::LeftButton, Qt::NoModifier, notes->rect().center());
    ASSERT_EQ(click.count(), 1);
    EXPECT_EQ(click.at(0).at(0).toInt(), 3);
    EXPECT_EQ(bar.PanelKey(click.at(0).at(0).toInt()), QStringLiteral("Notes"));
    bar.setPanelText(QStringLiteral("Main"), QStringLiteral("Playing"));
    EXPECT_EQ(click.count(), 1) << "texts written in code raise nothing";
}

TEST(ProgressBar, KeepsRangeAndValueAsWrittenAndDrawsThemClamped)
{
    struct Case {
        int max;
        int value;
        double shown;
    };
    const Case cases[] = {
        {4, 2, 0.5},
        {4, 4, 1.0},
        {-1, 0, 0.0}, // an empty list file: the loader sets -1
        {100, 250, 1.0},
        {100, -5, 0.0},
    };
    XP_ProgressBar bar;
    for (const Case &c : cases) {
        bar.setMax(c.max);
        bar.setValue(c.value);
        EXPECT_EQ(bar.Max(), c.max);
        EXPECT_EQ(bar.Value(), c.value);
        EXPECT_DOUBLE_EQ(bar.shownFraction(), c.shown) << c.max << "/" << c.value;
    }
}

TEST(ProgressBar, DiscFillPastTheScaleAndATextShownAsWritten)
{
    cProgressBar disc;
    disc.setMin(0);
    disc.setMax(83);
    disc.setValue(101); // a list longer than the scale
    disc.setBarColor(255);
    EXPECT_EQ(disc.Value(), 101);
    EXPECT_DOUBLE_EQ(disc.shownFraction(), 1.0);
    EXPECT_EQ(disc.BarColor(), 255u);

    disc.setText(QStringLiteral("50% 16514043"));
    auto *inner = disc.findChild<QProgressBar *>();
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->text(), QStringLiteral("50% 16514043"));
    EXPECT_EQ(disc.Text(), QStringLiteral("50% 16514043"));
}

TEST(ProgressBar, VisibleIsTheBarsOwnFlagWhileItsWindowIsHidden)
{
    QWidget window;
    auto *bar = new XP_ProgressBar(&window);
    bar->setVisible(false);
    EXPECT_FALSE(bar->Visible());
    bar->setVisible(true);
    EXPECT_TRUE(bar->Visible()) << "the window is not shown yet";
    bar->hide();
    EXPECT_FALSE(bar->Visible());
}

TEST(Colours, NumbersAreBlueGreenRedAndSystemColoursFollowThePalette)
{
    struct Case {
        quint32 number;
        QColor colour;
    };
    const Case cases[] = {
        {0x000000FFu, QColor(255, 0, 0)},
        {0x00FF0000u, QColor(0, 0, 255)},
        {16514043u, QColor(0xFB, 0xFB, 0xFB)},
        {0x00008000u, QColor(0, 128, 0)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(OleColor::toQColor(c.number), c.colour) << c.number;
        EXPECT_EQ(OleColor::fromQColor(c.colour), c.number);
    }
    QPalette palette;
    palette.setColor(QPalette::WindowText, QColor(1, 2, 3));
    EXPECT_EQ(OleColor::toQColor(0x80000008u, palette), QColor(1, 2, 3));
}

} // namespace
