#include "core/TextLines.h"

#include <QFile>
#include <QSaveFile>

namespace TextLines {

QStringList splitTextLines(const QString &text)
{
    QStringList lines;
    QString line;
    bool pending = false; // characters since the last line end
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            lines << line;
            line.clear();
            pending = false;
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            line += c;
            pending = true;
        }
    }
    if (pending)
        lines << line;
    return lines;
}

std::optional<QStringList> readTextLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return splitTextLines(QString::fromUtf8(bytes));
}

bool writeTextFileContent(const QString &path, const QString &content)
{
    QSaveFile file(path);
    // A folder the user may write files in but not create files in still
    // gets its file rewritten in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = content.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace TextLines
