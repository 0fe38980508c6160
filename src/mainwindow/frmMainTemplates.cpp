// The texts the main window builds for the tool windows at the end of a job:
// the notice application's command line and the speech file names.
#include "mainwindow/frmMain.h"

#include "controls/ui/cGrid.h"
#include "core/mdlModes.h"
#include "lists/ItemsListRow.h"
#include "tools/frame/mdlTemplates.h"
#include "platform/CommandLine.h"
#include "settings/OptionSettings.h"

namespace {

// The placeholders' values: the product, and the last row of the grid as it
// is shown now. An empty grid gives empty file values.
mdlTemplates::NoticeValues noticeValues(const cGrid &grid)
{
    namespace Row = ItemsListRow;
    mdlTemplates::NoticeValues values;
    values.progName = g_sAppName;
    values.progVersion = g_sAppVersion;
    values.hasFile = true;
    const int last = grid.Rows();
    if (last < 1)
        return values;
    const auto cell = [&](Row::Column column) { return grid.CellText(last, column); };
    values.fileRecorded = cell(Row::ItemName);
    values.fileSize = cell(Row::Size);
    values.fileTimeLength = cell(Row::Time);
    values.fileCreated = cell(Row::Created);
    return values;
}

} // namespace

QString frmMain::GetNoticAppParameters() const
{
    return mdlTemplates::ExpandNoticeTemplate(g_sNoticeCommandLine, noticeValues(*cGrid1));
}

bool frmMain::StartNoticeApplication() const
{
    const mdlTemplates::NoticeValues values = noticeValues(*cGrid1);
    return CommandLine::start(g_sNoticeCommandLine, true, [&values](const QString &argument) {
        return mdlTemplates::ExpandNoticeTemplate(argument, values);
    });
}

QString frmMain::CreateFileName(const QString &sTargetFormat) const
{
    return mdlTemplates::SpeechFileName(QDateTime::currentDateTime(), sTargetFormat);
}
