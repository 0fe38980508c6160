#include "tools/frame/OutputFileNames.h"

#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "platform/AppPaths.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <climits>

#include <unistd.h>

namespace OutputFileNames {

const QStringList &builtInTemplates()
{
    static const QStringList templates{
        QStringLiteral("[file_name].[dest_extension]"),
        QStringLiteral("[file_name].[source_extension].[dest_extension]"),
        QStringLiteral("[file_name]_[123].[dest_extension]"),
        QStringLiteral("[file_name]_[123].[source_extension].[dest_extension]"),
        QStringLiteral("[123].[dest_extension]"),
        QStringLiteral("[123].[source_extension].[dest_extension]"),
    };
    return templates;
}

QString formatsFile()
{
    return AppPaths::programFolder() + QStringLiteral("/FileNameFormats.txt");
}

void LoadFileNameFormats(QComboBox *cboFileName)
{
    const QString file = formatsFile();
    if (mdlFileSystem::FileExists(file))
        mdlFunctions::LoadListFileToCombo(file, cboFileName);
}

std::optional<QString> extensionOfFormat(const QString &formatText)
{
    const qsizetype dash = formatText.indexOf(QStringLiteral(" -"));
    if (dash < 0)
        return std::nullopt;
    return formatText.left(dash).toLower();
}

QString timeSeparator()
{
    const QString format = QLocale().timeFormat(QLocale::ShortFormat);
    qsizetype i = 0;
    while (i < format.size() && format.at(i).toLower() != QLatin1Char('h'))
        ++i;
    while (i < format.size() && format.at(i).toLower() == QLatin1Char('h'))
        ++i;
    QString separator;
    while (i < format.size() && format.at(i) != QLatin1Char('m')) {
        if (format.at(i) != QLatin1Char('\''))
            separator += format.at(i);
        ++i;
    }
    return separator.isEmpty() ? QStringLiteral(":") : separator;
}

QString timeToken(const QTime &time)
{
    const QString sep = timeSeparator();
    const auto twoDigits = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    QString text = twoDigits(time.hour()) + sep + twoDigits(time.minute()) + sep + twoDigits(time.second());
    return text.replace(QLatin1Char(':'), QLatin1Char('-'));
}

QString dateToken(const QDate &date)
{
    return QLocale().toString(date, QLocale::ShortFormat).replace(QLatin1Char('/'), QLatin1Char('-'));
}

QString MakeOutputFileName(const QString &nameTemplate, const RowValues &values, const Clock &clock)
{
    QString name = nameTemplate;
    name.replace(QStringLiteral("[123]"), QString::number(values.row));

    const QString fileName = mdlFunctions::GetFileName(values.sourcePath);
    // A name without a dot is its own name without extension.
    const QString bareName = fileName.contains(QLatin1Char('.')) ? mdlFunctions::RemoveExtension(fileName) : fileName;
    name.replace(QStringLiteral("[file_name]"), bareName);
    name.replace(QStringLiteral("[source_extension]"), mdlFunctions::GetExtensionPart(values.itemName).toLower());
    if (values.destExtension) {
        name.replace(QStringLiteral("[dest_extension]"), *values.destExtension);
        name.replace(QStringLiteral("[convert_extension]"), *values.destExtension);
    }
    if (name.contains(QStringLiteral("[time]")))
        name.replace(QStringLiteral("[time]"), timeToken(clock().time()));
    if (name.contains(QStringLiteral("[date]")))
        name.replace(QStringLiteral("[date]"), dateToken(clock().date()));
    name.replace(QStringLiteral("[item_name]"), values.itemName);
    return name;
}

QString usableFileName(const QString &name)
{
    QString usable = name;
    for (QChar &c : usable) {
        if (c == QLatin1Char('/') || c.category() == QChar::Other_Control)
            c = QLatin1Char('-');
    }
    if (usable == QLatin1String(".") || usable == QLatin1String(".."))
        return QString();
    return usable;
}

QString numberedFileName(const QString &name, int n)
{
    const QString suffix = QStringLiteral(" (%1)").arg(n);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return name + suffix;
    return name.left(dot) + suffix + name.mid(dot);
}

namespace {

// Longer than this, what follows the last dot is part of the name rather
// than an extension worth keeping whole.
constexpr int kLongestExtension = 16;

int utf8Bytes(const QString &text)
{
    return int(text.toUtf8().size());
}

// One letter: a character, or both halves of a surrogate pair.
qsizetype letterLength(const QString &text, qsizetype at, bool backwards)
{
    if (backwards)
        return at >= 2 && text.at(at - 1).isLowSurrogate() && text.at(at - 2).isHighSurrogate() ? 2 : 1;
    return at + 1 < text.size() && text.at(at).isHighSurrogate() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
}

// The longest start (or end) of text of at most bytes bytes.
QString startWithin(const QString &text, int bytes)
{
    qsizetype end = 0;
    int used = 0;
    while (end < text.size()) {
        const qsizetype step = letterLength(text, end, false);
        const int cost = utf8Bytes(text.mid(end, step));
        if (used + cost > bytes)
            break;
        used += cost;
        end += step;
    }
    return text.left(end);
}

QString endWithin(const QString &text, int bytes)
{
    qsizetype start = text.size();
    int used = 0;
    while (start > 0) {
        const qsizetype step = letterLength(text, start, true);
        const int cost = utf8Bytes(text.mid(start - step, step));
        if (used + cost > bytes)
            break;
        used += cost;
        start -= step;
    }
    return text.mid(start);
}

} // namespace

int longestFileName(const QString &folder)
{
    // The folder may not be made yet: its nearest existing parent lies on
    // the file system it will be made on.
    QString asked = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo(asked).isDir() && asked != QLatin1String("/"))
        asked = QFileInfo(asked).absolutePath();
    const long limit = ::pathconf(QFile::encodeName(asked).constData(), _PC_NAME_MAX);
    return limit > 0 && limit < NAME_MAX ? int(limit) : NAME_MAX;
}

QString fittedFileName(const QString &name, int maxBytes)
{
    if (utf8Bytes(name) <= maxBytes)
        return name;
    const QString cut = QStringLiteral("...");
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString extension = dot > 0 ? name.mid(dot) : QString();
    if (utf8Bytes(extension) > kLongestExtension)
        extension.clear();
    const QString base = name.left(name.size() - extension.size());
    const int room = maxBytes - utf8Bytes(extension) - utf8Bytes(cut);
    if (room < 2)
        return startWithin(name, maxBytes);
    // Two thirds to the start, the rest to the end, which tells apart names
    // that differ there (a number the job added, a take's count).
    const int startBytes = room - room / 3;
    const QString start = startWithin(base, startBytes);
    const QString end = endWithin(base, room - utf8Bytes(start));
    return start + cut + end + extension;
}

QString fittedFileNameIn(const QString &folder, const QString &name)
{
    return fittedFileName(name, longestFileName(folder));
}

} // namespace OutputFileNames
