#include "tools/frame/ToolHost.h"

#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "tools/frame/mdlTemplates.h"
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
    if (const MainWindowFace *main = Forms::mainFace())
        return main->startNoticeApplication();
    // Without the main window there is no items grid to fill the file
    // placeholders from; the product's own are still filled.
    mdlTemplates::NoticeValues values;
    values.progName = g_sAppName;
    values.progVersion = g_sAppVersion;
    return CommandLine::start(g_sNoticeCommandLine, true, [&values](const QString &argument) {
        return mdlTemplates::ExpandNoticeTemplate(argument, values);
    });
}

} // namespace ToolHost
