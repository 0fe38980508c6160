#include "core/mdlCommDialog.h"

#include "core/mdlFunctions.h"
#include "core/UserSettingsStore.h"
#include "platform/Services.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>

FileDialogRecord g_FileDialog;

namespace mdlCommDialog {
namespace {

// The per-user value "last_path": the folder of the last one-file choice.
QString storedLastPath()
{
    return UserSettingsStore::Get(UserSettingsStore::lastOpenFolder());
}

void storeLastPath(const QString &folder)
{
    UserSettingsStore::Save(UserSettingsStore::lastOpenFolder(), folder);
}

// "Name\0*.a;*.b\0Other\0*.*\0" as the prompter takes it: "Name|*.a;*.b|Other|*.*".
QString prompterFilter(const QString &filter)
{
    QStringList parts = filter.split(QChar(u'\0'));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    return parts.join(QLatin1Char('|'));
}

FileDialogRequest requestFromRecord(QWidget *owner, bool centreOnOwner)
{
    FileDialogRequest request;
    request.owner = owner;
    request.centreOnOwner = centreOnOwner;
    request.title = g_FileDialog.lpstrTitle;
    request.filter = prompterFilter(g_FileDialog.lpstrFilter);
    request.initialFolder = g_FileDialog.lpstrInitialDir;
    request.defaultExtension = g_FileDialog.lpstrDefExt;
    request.multiSelect = (g_FileDialog.Flags & OFN_ALLOWMULTISELECT) != 0;
    return request;
}

// A folder the dialog can start in: a stored file path starts in its folder.
QString startFolder(const QString &stored)
{
    const QFileInfo info(stored);
    if (info.isFile())
        return info.absolutePath();
    return stored.isEmpty() ? QDir::homePath() : stored;
}

FileDialogResult cancelled()
{
    FileDialogResult result;
    result.Cancelled = true;
    return result;
}

QString folderOf(const QString &path)
{
    return path.left(qMax<qsizetype>(0, path.lastIndexOf(QLatin1Char('/'))));
}

QList<QColor> &customColors()
{
    static QList<QColor> table;
    return table;
}

void fillCustomColorsOnce()
{
    if (!customColors().isEmpty())
        return;
    customColors() = {QColor(139, 155, 184), QColor(188, 213, 254), QColor(115, 172, 183), QColor(200, 249, 198),
                      QColor(189, 194, 253), QColor(200, 249, 255), QColor(108, 213, 210), QColor(236, 164, 236)};
    while (customColors().size() < 16)
        customColors() << QColor(160, 160, 160);
}

} // namespace

FileDialogResult ShowOpen(QWidget *owner, bool centerOverOwner)
{
    g_FileDialog.lStructSize = 76;
    g_FileDialog.hwndOwner = owner;
    g_FileDialog.lpstrInitialDir = startFolder(storedLastPath());
    g_FileDialog.lpstrFile.clear();
    g_FileDialog.lpstrFileTitle.clear();
    g_FileDialog.nFileOffset = 0;
    g_FileDialog.Flags = OpenFlags;

    const QStringList chosen = Services::instance().prompter().openFiles(requestFromRecord(owner, centerOverOwner));
    if (chosen.isEmpty())
        return cancelled();

    FileDialogResult result;
    if (chosen.size() == 1) {
        const QString &path = chosen.first();
        result.Folder = folderOf(path);
        g_FileDialog.lpstrFile = path;
        g_FileDialog.nFileOffset = static_cast<qint32>(result.Folder.size() + 1);
        g_FileDialog.lpstrFileTitle = path.mid(g_FileDialog.nFileOffset);
        result.FileNames = {path, g_FileDialog.lpstrFileTitle};
        result.FileCount = 1;
        storeLastPath(result.Folder.isEmpty() ? QStringLiteral("/") : result.Folder);
    } else {
        // Names are given relative to the folder of the first one, so that
        // Folder + "/" + name names each chosen file.
        result.Folder = folderOf(chosen.first());
        if (result.Folder.isEmpty())
            result.Folder = QStringLiteral("/");
        const QDir folder(result.Folder);
        result.FileNames << QString();
        g_FileDialog.lpstrFile = result.Folder;
        for (const QString &path : chosen.mid(0, MaxOpenNames)) {
            const QString name = folder.relativeFilePath(path);
            result.FileNames << name;
            g_FileDialog.lpstrFile += QChar(u'\0') + name;
        }
        g_FileDialog.lpstrFile += QChar(u'\0');
        result.FileCount = static_cast<qint16>(result.FileNames.size() - 1);
        if (chosen.size() > MaxOpenNames) {
            // Never dropped without a word: the user would not know their
            // choice was cut short.
            const qsizetype left = chosen.size() - MaxOpenNames;
            MsgBox(QStringLiteral("Only the first %1 of the %2 chosen files are taken: %3 %4 left out.")
                       .arg(MaxOpenNames)
                       .arg(chosen.size())
                       .arg(left)
                       .arg(left == 1 ? QStringLiteral("file was") : QStringLiteral("files were")),
                   int(Msg::OkOnly) + Msg::Information);
        }
    }
    result.Cancelled = false;
    return result;
}

FileDialogResult ShowSave(QWidget *owner, const QString &defaultName, bool centerOverOwner)
{
    g_FileDialog.lStructSize = 76;
    g_FileDialog.hwndOwner = owner;
    // Always the save flags: an open dialog earlier in the run leaves its own
    // flags behind, and the user must always be asked before a file is replaced.
    g_FileDialog.Flags = SaveFlags;
    g_FileDialog.lpstrFile = defaultName;
    g_FileDialog.lpstrFileTitle.clear();
    g_FileDialog.nFileOffset = 0;

    FileDialogRequest request = requestFromRecord(owner, centerOverOwner);
    request.fileName = defaultName;
    if (request.initialFolder.isEmpty())
        request.initialFolder = QDir::homePath();
    const QString path = Services::instance().prompter().saveFile(request);
    if (path.isEmpty())
        return cancelled();

    FileDialogResult result;
    g_FileDialog.lpstrFile = path;
    result.Folder = mdlFunctions::GetFolderPath(path);
    g_FileDialog.nFileOffset = static_cast<qint32>(path.lastIndexOf(QLatin1Char('/')) + 1);
    g_FileDialog.lpstrFileTitle = path.mid(g_FileDialog.nFileOffset);
    result.FileNames = {QString(), path};
    result.FileCount = 1;
    result.Cancelled = false;
    return result;
}

qint32 ShowColor(QWidget *owner, bool centerOverOwner)
{
    fillCustomColorsOnce();
    ColorRequest request;
    request.owner = owner;
    request.centreOnOwner = centerOverOwner;
    request.initial = QColor(255, 255, 255);
    request.customColors = customColors();
    const std::optional<ColorAnswer> answer = Services::instance().prompter().chooseColor(request);
    if (!answer || !answer->color.isValid())
        return -1;
    for (int i = 0; i < answer->customColors.size() && i < customColors().size(); ++i)
        customColors()[i] = answer->customColors.at(i);
    const QColor &c = answer->color;
    return c.red() + c.green() * 256 + c.blue() * 65536;
}

QString BrowseForFolder(const QString &title, const QString &initialFolder, QWidget * /*owner*/, bool statusText,
                        const QVariant & /*root*/, bool /*newDialogStyle*/, bool /*includeFiles*/)
{
    QString folder = Services::instance().prompter().browseFolder(title, initialFolder, statusText);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace mdlCommDialog
