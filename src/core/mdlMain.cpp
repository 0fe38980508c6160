#include "core/mdlMain.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// Nothing sets it; it would keep the process's own fault reporting.
bool g_bNoErrorMode = false;

} // namespace

namespace mdlMain {

QString CommandLine()
{
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    return args.join(QLatin1Char(' '));
}

void SetSilentErrorMode()
{
    if (g_bNoErrorMode)
        return;
    // Linux shows no fault dialog of its own: nothing to switch off.
}

bool GetNoErrorModeFlag()
{
    return g_bNoErrorMode;
}

void EditionReadyHook()
{
}

} // namespace mdlMain
