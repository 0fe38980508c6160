#include "core/mdlConstDir.h"

#include <QFileInfo>

#include <cstdlib>
#include <dlfcn.h>

namespace mdlConstDir {

QString GetWindowsDir()
{
    const QFileInfo usr(QStringLiteral("/usr"));
    return usr.isDir() ? usr.absoluteFilePath() : QString();
}

QString GetSystemDir()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void *>(&std::abort), &info) == 0 || !info.dli_fname)
        return QString();
    const QFileInfo library(QString::fromLocal8Bit(info.dli_fname));
    // "/lib" is a link to "/usr/lib" on merged systems; the real folder is
    // the one other programs expect.
    const QString folder = QFileInfo(library.absolutePath()).canonicalFilePath();
    return folder == QLatin1String("/") ? QString() : folder;
}

} // namespace mdlConstDir
