#include "core/mdlFunctions.h"

#include "core/TextLines.h"
#include "core/mdlCommDialog.h"
#include "core/mdlFileSystem.h"
#include "platform/AppPaths.h"

#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextEdit>
#include <QTime>

namespace {

const QString crLf = QStringLiteral("\r\n");
constexpr int maxPathHistory = 16;

QString pathHistoryFile()
{
    return AppPaths::programFolder() + QStringLiteral("/PathHistory");
}

// The history's lines; a missing file is created empty first. std::nullopt
// when the file can be neither created nor read.
std::optional<QStringList> readPathHistory()
{
    const QString path = pathHistoryFile();
    if (!QFile::exists(path)) {
        QFile create(path);
        if (!create.open(QIODevice::WriteOnly))
            return std::nullopt;
    }
    return TextLines::readTextLines(path);
}

// The user's time format with hours, minutes and seconds but without the
// time zone that the long format may carry.
QString logTimeFormat()
{
    const QString format = QLocale().timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    return result.trimmed();
}

} // namespace

namespace mdlFunctions {

void WriteTextFile(const QString &text, const QString &path)
{
    TextLines::writeTextFileContent(path, text + crLf);
}

QString ReadTextFile(const QString &path)
{
    if (!mdlFileSystem::FileExists(path))
        return QString();
    const std::optional<QStringList> lines = TextLines::readTextLines(path);
    if (!lines)
        return QString();
    QString text;
    for (const QString &line : *lines)
        text += line + crLf;
    // A file whose only line is empty keeps its CR LF.
    if (text.size() > 2)
        text.chop(2);
    return text;
}

void LoadListFileToCombo(const QString &path, QComboBox *combo)
{
    if (!combo)
        return;
    QStringList lines = ReadTextFile(path).split(crLf);
    lines.removeAll(QString());
    // Filling is no choice of the user's: no selection signals, and no item
    // is picked on the box's behalf.
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(lines);
    combo->setCurrentIndex(-1);
}

void SavePathHistory(QComboBox *combo)
{
    if (!combo)
        return;
    const std::optional<QStringList> old = readPathHistory();
    if (!old)
        return;
    const QString newest = combo->currentText();
    QStringList history{newest};
    bool moved = false;
    for (const QString &line : *old) {
        // Only the first equal line moves up; any later copy (from a hand
        // edit) stays where it is.
        if (!moved && line == newest) {
            moved = true;
            continue;
        }
        history << line;
    }
    if (history.size() > maxPathHistory)
        history.resize(maxPathHistory);
    QString content;
    for (const QString &line : history)
        content += line + crLf;
    TextLines::writeTextFileContent(pathHistoryFile(), content);
}

void LoadPathHistory(QComboBox *combo)
{
    if (!combo)
        return;
    const std::optional<QStringList> history = readPathHistory();
    {
        // The box changes its selection once, when the newest folder is
        // picked with every item in place, not while it is being filled.
        const QSignalBlocker quiet(combo);
        combo->clear();
        if (history)
            combo->addItems(*history);
        combo->setCurrentIndex(-1);
        if (combo->isEditable())
            combo->clearEditText();
    }
    if (combo->count() > 0)
        combo->setCurrentIndex(0);
}

void BrowseForPathHistoryFolder(QComboBox *combo, QWidget *owner)
{
    QString folder = mdlCommDialog::BrowseForFolder(QStringLiteral("Select a new directory"), combo->currentText(),
                                                    owner, true, true, true, false);
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    combo->setEditText(folder);
    SavePathHistory(combo);
    LoadPathHistory(combo);
}

QString JobLogLine(const QString &message, const QTime &at)
{
    return QLocale().toString(at, logTimeFormat()) + QLatin1Char(':') + message + crLf;
}

namespace {

// Both kinds of log box take the line alike.
template<class LogBox>
void appendLogLine(const QString &message, LogBox *txtLog)
{
    if (!txtLog)
        return;
    QTextCursor end(txtLog->document());
    end.movePosition(QTextCursor::End);
    end.insertText(JobLogLine(message, QTime::currentTime()));
    txtLog->moveCursor(QTextCursor::End);
}

} // namespace

void AddLogLine(const QString &message, QPlainTextEdit *txtLog)
{
    appendLogLine(message, txtLog);
}

void AddLogLine(const QString &message, QTextEdit *txtLog)
{
    appendLogLine(message, txtLog);
}

} // namespace mdlFunctions
