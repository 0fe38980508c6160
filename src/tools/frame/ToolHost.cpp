#include "tools/frame/ToolHost.h"

#include "controls/ui/cGrid.h"
#include "core/mdlModes.h"
#include "platform/CommandLine.h"
#include "platform/Services.h"
#include "settings/OptionSettings.h"

namespace ToolHost {

void ShowBalloon(const QString &text)
{
    Services::instance().tray().showMessage(g_sAppName + QLatin1Char(' ') + g_sAppVersion, text);
}

bool StartNoticeApplication()
{
    // The main window's placeholders are filled here per argument once it
    // offers them; until then the stored command line is started as it is.
    return CommandLine::start(g_sNoticeCommandLine, true);
}

void CopyGridRow(const cGrid &source, int sourceRow, cGrid &target, int targetRow)
{
    for (int col = 2; col <= source.Columns(); ++col)
        target.SetCell(targetRow, col, source.CellText(sourceRow, col));
}

} // namespace ToolHost
