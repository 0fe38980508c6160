#include "tools/frame/OutputFileNames.h"

#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "platform/AppPaths.h"

#include <QComboBox>
#include <QLocale>

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

} // namespace OutputFileNames
