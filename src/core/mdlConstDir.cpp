#include "core/mdlConstDir.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <link.h>
#include <memory>

namespace {

struct LibraryCloser {
    void operator()(void *handle) const { ::dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

// The full path of the C library this process runs with.
QString cLibraryPath()
{
    const LibraryHandle libc(::dlopen("libc.so.6", RTLD_LAZY | RTLD_NOLOAD));
    if (!libc)
        return QString();
    link_map *map = nullptr;
    if (::dlinfo(libc.get(), RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name)
        return QString();
    return QFile::decodeName(map->l_name);
}

} // namespace

namespace mdlConstDir {

QString GetWindowsDir()
{
    const QFileInfo usr(QStringLiteral("/usr"));
    return usr.isDir() ? usr.absoluteFilePath() : QString();
}

QString GetSystemDir()
{
    const QString library = cLibraryPath();
    if (library.isEmpty())
        return QString();
    // "/lib" is a link to "/usr/lib" on merged systems; the real folder is
    // the one other programs expect.
    const QString folder = QFileInfo(QFileInfo(library).absolutePath()).canonicalFilePath();
    return folder == QLatin1String("/") ? QString() : folder;
}

} // namespace mdlConstDir
