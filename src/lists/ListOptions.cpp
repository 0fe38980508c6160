#include "lists/ListOptions.h"

#include "platform/AppPaths.h"

namespace ListOptions {

QString normaliseListsFolder(const QString &folder)
{
    QString text = folder;
    if (text.trimmed().isEmpty())
        return AppPaths::programFolder() + QStringLiteral("/Main/");
    if (!text.endsWith(QLatin1Char('/')))
        text += QLatin1Char('/');
    return text;
}

// Until the options window publishes its settings, the lists use the
// options' defaults.
QString listsFolder()
{
    return normaliseListsFolder(QString());
}

bool selectTheLastItem()
{
    return false;
}

bool copyID3FromSource()
{
    return true;
}

} // namespace ListOptions
