// The end-of-job events, the same in every tool window that writes files:
// the sound, the destination folder opened, the notice program started and
// the turn-off countdown, each through its seam.
#include "support/ScriptedServices.h"
#include "support/ToolWindowFixture.h"

#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "settings/OptionSettings.h"
#include "tools/convert/frmConverter.h"
#include "tools/splitjoin/frmJoiner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct WindowCase {
    const char *name;
    // Opens the window on the main grid's rows, ready to start.
    ToolWindow &(*open)(ToolWindowFixture &fixture, const QVector<ItemsListRow::Data> &rows);
};

class EndEvents : public ToolFixture, public ::testing::WithParamInterface<WindowCase> {
protected:
    void TearDown() override
    {
        for (QWidget *w : {static_cast<QWidget *>(Forms::converter()), static_cast<QWidget *>(Forms::joiner())})
            if (w)
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ToolFixture::TearDown();
    }

public:
    QVector<ItemsListRow::Data> twoRows()
    {
        addRow(makeTone(QStringLiteral("a.wav"), kRate));
        addRow(makeTone(QStringLiteral("b.wav"), kRate));
        return mainRows();
    }
};

ToolWindow &openConverter(ToolWindowFixture &, const QVector<ItemsListRow::Data> &rows)
{
    frmConverter &w = Forms::loadConverter();
    w.HandOver(rows, QStringLiteral("My list"));
    return w;
}

ToolWindow &openJoiner(ToolWindowFixture &, const QVector<ItemsListRow::Data> &rows)
{
    frmJoiner &w = Forms::loadJoiner();
    w.HandOver(rows, QStringLiteral("Joins"));
    return w;
}

} // namespace

TEST_P(EndEvents, RunThroughTheSeamsOnceTheJobIsDone)
{
    ToolWindow &w = GetParam().open(*this, twoRows());
    w.txtToPath->setEditText(destination());
    w.chkCreateSubFolder->click();
    w.txtUndeForlder->setText(QStringLiteral("Parts"));
    for (QCheckBox *box : {w.chkPlaySound, w.chkOpenDestFolder, w.chkNoticeApp, w.chkTurnOffComputer})
        box->setChecked(true);
    g_sNoticeCommandLine = QStringLiteral("notify-me \"all done\"");
    TurnOffWatcher turnOff;

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_FALSE(QDir(destination() + QStringLiteral("Parts")).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(testServices().tray->balloons.size(), 1);
    EXPECT_TRUE(testServices().tray->balloons.first().endsWith(QStringLiteral("|Done.")));
    EXPECT_EQ(testServices().sound->played, QStringList{g_sEndSoundFile});
    EXPECT_EQ(testServices().shell->opened, QStringList{destination() + QStringLiteral("Parts/")});
    ASSERT_EQ(testServices().launcher->starts.size(), 1);
    EXPECT_EQ(testServices().launcher->starts.first().program, QStringLiteral("notify-me"));
    EXPECT_EQ(testServices().launcher->starts.first().arguments, QStringList{QStringLiteral("all done")});
    EXPECT_EQ(turnOff.shown, 1);
    EXPECT_EQ(turnOff.seconds, 30);
    EXPECT_TRUE(testServices().power->actions.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(ToolWindows, EndEvents,
                         ::testing::Values(WindowCase{"Converter", openConverter},
                                           WindowCase{"Joiner", openJoiner}),
                         [](const auto &info) { return std::string(info.param.name); });
