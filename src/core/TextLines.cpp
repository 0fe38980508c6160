#include "core/TextLines.h"

#include "platform/SafeWrite.h"

#include <QFile>
#include <QStringDecoder>

namespace TextLines {

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // 0x80 to 0x9F; the five holes of the code page keep their own value,
    // as Windows itself maps them. Every other byte is its Latin-1 letter.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    text.resize(bytes.size());
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte));
    }
    return text;
}

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

bool writeTextFileContent(const QString &path, const QString &content, QString *error)
{
    // A folder the user may write files in but not create files in still
    // gets its file rewritten in place.
    const QString failure = SafeWrite::replaceFile(path, content.toUtf8(), true);
    if (error)
        *error = failure;
    return failure.isEmpty();
}

} // namespace TextLines
