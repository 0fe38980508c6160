#include "core/mdlFunctions.h"

#include "platform/Services.h"

#include <QFile>
#include <QFileInfo>
#include <QToolTip>
#include <QWidget>

#include <array>
#include <cerrno>
#include <sys/stat.h>

namespace {

// The characters a name may not hold, in the order the hint lists them.
constexpr QStringView illegalNameChars = u"/\\:?*<>\"|";

// Replaced by MakeSafeFileName, in this order: separators, shell and
// wildcard characters, brackets, and a few signs some players and CD
// writers refuse. "-", "_" and "." are kept.
constexpr std::array<char16_t, 37> unsafeFileNameChars = {
    u'!', u'/', u'\\', u';', u':', u',', u' ', u'$', u'+', u'&',
    u'[', u']', u'(', u')', u'{', u'}', u'?', u'*', u'|', u'<',
    u'>', u'\u05D6', u'\uF893', u'\u20AC', u'@', u'\u00A8', u'~', u'\u00B4', u'`', u'=',
    u'%', u'\u00BD', u'#', u'\u00A3', u'\'', u'"', u'\u05D9',
};

int lastDot(const QString &name)
{
    return int(name.lastIndexOf(QLatin1Char('.')));
}

} // namespace

namespace mdlFunctions {

QString GetFileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString GetFolderPath(const QString &path)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    // An empty part between two separators adds nothing on this system
    // ("/a//b/c" is "/a/b/c"), so it is skipped rather than taken as a
    // fresh start, and an absolute path keeps its leading "/".
    QString folder = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        if (!parts.at(i).isEmpty())
            folder += parts.at(i) + QLatin1Char('/');
    }
    return folder;
}

QString GetFileFolder(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool IsFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void ShellOpen(QWidget *owner, const QString &file)
{
    Q_UNUSED(owner)
    Services::instance().shell().open(file);
}

int MakeFolderPath(const QString &path)
{
    QString target = path;
    if (target.endsWith(QLatin1Char('/')))
        target.chop(1);
    if (target.isEmpty())
        return 0;

    const QStringList parts = target.split(QLatin1Char('/'));
    QString level;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        if (part.isEmpty()) {
            // The root of an absolute path; doubled separators add no level.
            if (i == 0)
                level = QStringLiteral("/");
            continue;
        }
        level += part + QLatin1Char('/');
        if (QFileInfo(level).isDir())
            continue;
        if (::mkdir(QFile::encodeName(level).constData(), 0777) != 0) {
            const int error = errno;
            // Another process may have made it meanwhile.
            if (error == EEXIST && QFileInfo(level).isDir())
                continue;
            return error != 0 ? error : EIO;
        }
    }
    return 0;
}

QString MakeSafeFileName(const QString &name)
{
    QString safe = name;
    for (const char16_t c : unsafeFileNameChars)
        safe.replace(QChar(c), QLatin1Char('-'));
    return safe;
}

QString GetExtension(const QString &name)
{
    const int dot = lastDot(name);
    return dot < 0 ? QString() : name.mid(dot + 1, 12);
}

QString GetExtensionPart(const QString &name)
{
    const int dot = lastDot(name);
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString RemoveExtension(const QString &name)
{
    const int dot = lastDot(name);
    return dot < 0 ? QString() : name.left(dot);
}

bool IsValidName(const QString &name)
{
    for (const QChar c : illegalNameChars) {
        if (name.contains(c))
            return false;
    }
    return true;
}

void CheckNameKeyPress(QWidget *txtBox, qint16 &KeyAscii)
{
    const QChar key{char16_t(quint16(KeyAscii))};
    if (KeyAscii == 0 || !illegalNameChars.contains(key))
        return;

    const QString hint = QStringLiteral("Illegal name.\r\n\r\nThe chars:   /\\:?*<>\"|   are not legal.");
    // The hint stays on screen by itself for a while, so the user sees it at
    // the box without the typing being held up.
    if (txtBox)
        QToolTip::showText(txtBox->mapToGlobal(QPoint(0, txtBox->height())), hint, txtBox);
    KeyAscii = 0;
}

} // namespace mdlFunctions
