#include "tools/frame/mdlTemplates.h"

#include "core/mdlFunctions.h"

#include <QLocale>

namespace mdlTemplates {

QString ExpandNoticeTemplate(const QString &text, const NoticeValues &values)
{
    // One step after the other on the growing text: a value holding a later
    // placeholder has it filled too, as the command line always behaved.
    QString result = text;
    result.replace(QLatin1String("[PROG_NAME]"), values.progName);
    result.replace(QLatin1String("[PROG_VERSION]"), values.progVersion);
    if (values.hasFile) {
        result.replace(QLatin1String("[FILE_RECORDED]"), values.fileRecorded);
        result.replace(QLatin1String("[FILE_SIZE]"), values.fileSize);
        result.replace(QLatin1String("[FILE_TIME_LENGTH]"), values.fileTimeLength);
        result.replace(QLatin1String("[FILE_CREATED]"), values.fileCreated);
    }
    return result;
}

QString GetExt(const QString &targetFormat)
{
    const QString head = targetFormat.left(3).toUpper();
    if (head == QLatin1String("WAV") || head == QLatin1String("ACM"))
        return QStringLiteral("wav");
    if (head == QLatin1String("MP3") || head == QLatin1String("WMA") || head == QLatin1String("OGG")
        || head == QLatin1String("APE"))
        return head.toLower();
    return QString();
}

QString SpeechFileName(const QDateTime &now, const QString &targetFormat)
{
    const QString name = now.time().toString(QStringLiteral("HH:mm:ss")) + QLatin1Char('_')
        + QLocale().toString(now.date(), QLocale::ShortFormat) + QLatin1Char('.') + GetExt(targetFormat);
    return mdlFunctions::MakeSafeFileName(name);
}

} // namespace mdlTemplates
