#include "core/mdlSetFormIcon32.h"

#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace mdlSetFormIcon32 {

QIcon ResourceIcon(const QString &iconName)
{
    const QDir icons(AppPaths::resourceFolder() + QStringLiteral("/icons"));
    const QStringList files = icons.entryList(QDir::Files);
    for (const QString &file : files) {
        if (QFileInfo(file).completeBaseName().compare(iconName, Qt::CaseInsensitive) == 0)
            return QIcon(icons.filePath(file));
    }
    return QIcon();
}

void SetFormIcon(QWidget *window, const QString &iconName, bool setTopOwner)
{
    if (!window)
        return;
    const QIcon icon = ResourceIcon(iconName);
    if (setTopOwner) {
        QWidget *owner = window;
        while (owner->parentWidget())
            owner = owner->parentWidget()->window();
        if (owner != window)
            owner->setWindowIcon(icon);
    }
    window->setWindowIcon(icon);
}

} // namespace mdlSetFormIcon32
