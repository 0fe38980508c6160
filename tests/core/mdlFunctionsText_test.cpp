#include "support/LocaleGuard.h"
#include "support/TestEnvironment.h"

#include "core/mdlFunctions.h"
#include "platform/AppPaths.h"

#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTime>
#include <gtest/gtest.h>

namespace {

QString workFile(const char *name)
{
    return TestEnv::workFolder() + QLatin1Char('/') + QLatin1String(name);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList items(const QComboBox &combo)
{
    QStringList list;
    for (int i = 0; i < combo.count(); ++i)
        list << combo.itemText(i);
    return list;
}

QString historyFile()
{
    return AppPaths::programFolder() + QStringLiteral("/PathHistory");
}

void writeHistory(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    writeBytes(historyFile(), bytes);
}

QStringList saveToHistory(const QString &folder)
{
    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText(folder);
    mdlFunctions::SavePathHistory(&combo);
    EXPECT_EQ(combo.currentText(), folder); // the box itself is left alone
    QComboBox shown;
    mdlFunctions::LoadPathHistory(&shown);
    return items(shown);
}

QStringList numbered(int from, int to)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QStringLiteral("/out/%1").arg(i);
    return list;
}

} // namespace

TEST(mdlFunctionsText, ReadTextFileSplitsAtCrOrCrLf)
{
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"a\r\nb", QStringLiteral("a\r\nb")},
        {"a\r\nb\r\n", QStringLiteral("a\r\nb")},
        {"a\rb\r", QStringLiteral("a\r\nb")},
        {"a\nb\r\n", QStringLiteral("a\nb")}, // a lone LF stays inside its line
        {"a\r\n\r\nb", QStringLiteral("a\r\n\r\nb")},
        {"x\r\n\r\n", QStringLiteral("x\r\n")},
        {"\r\n", QStringLiteral("\r\n")}, // one empty line keeps its line end
        {"", QString()},
        {"\xc3\xa9t\xc3\xa9", QString::fromUtf8("\u00E9t\u00E9")},
    };
    for (const auto &c : cases) {
        writeBytes(workFile("t.txt"), c.bytes);
        EXPECT_EQ(mdlFunctions::ReadTextFile(workFile("t.txt")), c.text) << c.bytes.toHex().constData();
    }
    EXPECT_EQ(mdlFunctions::ReadTextFile(workFile("missing.txt")), QString());
    EXPECT_EQ(mdlFunctions::ReadTextFile(TestEnv::workFolder()), QString());
}

TEST(mdlFunctionsText, WriteTextFileEndsWithCrLfAndReadsBack)
{
    mdlFunctions::WriteTextFile(QStringLiteral("x"), workFile("x.txt"));
    EXPECT_EQ(readBytes(workFile("x.txt")), QByteArray("x\r\n"));

    const QString text = QString::fromUtf8("first \u00E9\r\n\r\nthird");
    mdlFunctions::WriteTextFile(text, workFile("x.txt")); // replaces, not appends
    EXPECT_EQ(readBytes(workFile("x.txt")), text.toUtf8() + "\r\n");
    EXPECT_EQ(mdlFunctions::ReadTextFile(workFile("x.txt")), text);
}

TEST(mdlFunctionsText, LoadListFileToComboAddsTheNonEmptyLines)
{
    QComboBox combo;
    combo.addItems({QStringLiteral("built-in 1"), QStringLiteral("built-in 2")});
    writeBytes(workFile("FileNameFormats.txt"), "[NAME]\r\n\r\n  \r[TRACK] - [TITLE]\r\n");
    QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
    mdlFunctions::LoadListFileToCombo(workFile("FileNameFormats.txt"), &combo);
    EXPECT_EQ(items(combo), (QStringList{QStringLiteral("[NAME]"), QStringLiteral("  "),
                                         QStringLiteral("[TRACK] - [TITLE]")}));
    EXPECT_EQ(combo.currentIndex(), -1); // the caller picks from its stored option
    EXPECT_EQ(changed.count(), 0);

    mdlFunctions::LoadListFileToCombo(workFile("missing.txt"), &combo);
    EXPECT_EQ(combo.count(), 0);
}

TEST(mdlFunctionsText, PathHistoryStartsFromNothing)
{
    ASSERT_FALSE(QFile::exists(historyFile()));
    QComboBox empty;
    empty.setEditable(true);
    empty.setEditText(QStringLiteral("typed"));
    mdlFunctions::LoadPathHistory(&empty);
    EXPECT_EQ(empty.count(), 0);
    EXPECT_EQ(empty.currentText(), QString());
    EXPECT_EQ(readBytes(historyFile()), QByteArray()); // created empty

    EXPECT_EQ(saveToHistory(QStringLiteral("/home/u/Out")), QStringList{QStringLiteral("/home/u/Out")});
    EXPECT_EQ(readBytes(historyFile()), QByteArray("/home/u/Out\r\n"));

    // The box is told of its new selection once, with its items in place.
    QComboBox combo;
    combo.setEditable(true);
    combo.addItem(QStringLiteral("old"));
    QStringList seen;
    QObject::connect(&combo, &QComboBox::currentIndexChanged, &combo,
                     [&](int index) { seen << QStringLiteral("%1 %2 %3").arg(index).arg(combo.count()).arg(combo.currentText()); });
    mdlFunctions::LoadPathHistory(&combo);
    EXPECT_EQ(seen, QStringList{QStringLiteral("0 1 /home/u/Out")});
    EXPECT_EQ(combo.currentText(), QStringLiteral("/home/u/Out"));
}

TEST(mdlFunctionsText, PathHistoryPutsTheNewestFirst)
{
    const QStringList abc = {QStringLiteral("/A"), QStringLiteral("/B"), QStringLiteral("/C")};
    const struct {
        QString saved;
        QStringList expected;
    } cases[] = {
        {QStringLiteral("/B"), {QStringLiteral("/B"), QStringLiteral("/A"), QStringLiteral("/C")}},
        {QStringLiteral("/D"), {QStringLiteral("/D"), QStringLiteral("/A"), QStringLiteral("/B"), QStringLiteral("/C")}},
        {QStringLiteral("/a"), {QStringLiteral("/a"), QStringLiteral("/A"), QStringLiteral("/B"), QStringLiteral("/C")}},
        {QStringLiteral("/A"), abc},
        {QString(), {QString(), QStringLiteral("/A"), QStringLiteral("/B"), QStringLiteral("/C")}},
    };
    for (const auto &c : cases) {
        writeHistory(abc);
        EXPECT_EQ(saveToHistory(c.saved), c.expected) << qPrintable(c.saved);
    }
}

TEST(mdlFunctionsText, PathHistoryKeepsSixteenFolders)
{
    const QStringList sixteen = numbered(1, 16);

    writeHistory(sixteen);
    EXPECT_EQ(saveToHistory(QStringLiteral("/new")), QStringList{QStringLiteral("/new")} + numbered(1, 15));

    writeHistory(sixteen);
    EXPECT_EQ(saveToHistory(QStringLiteral("/out/16")), QStringList{QStringLiteral("/out/16")} + numbered(1, 15));

    // A longer hand-written history is shown in full and cut by the next save.
    writeHistory(numbered(1, 20));
    QComboBox combo;
    mdlFunctions::LoadPathHistory(&combo);
    EXPECT_EQ(items(combo), numbered(1, 20));
    EXPECT_EQ(saveToHistory(QStringLiteral("/out/20")), QStringList{QStringLiteral("/out/20")} + numbered(1, 15));
}

TEST(mdlFunctionsText, LogLineIsTimeColonMessageCrLf)
{
    const QTime afternoon(14, 5, 9);
    {
        LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(mdlFunctions::JobLogLine(QStringLiteral("Done."), afternoon), QStringLiteral("14:05:09:Done.\r\n"));
        EXPECT_EQ(mdlFunctions::JobLogLine(QString(), QTime(0, 0, 1)), QStringLiteral("00:00:01:\r\n"));
    }
    // A 12-hour locale writes its own time text, still with seconds and no zone.
    LocaleGuard us(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString line = mdlFunctions::JobLogLine(QStringLiteral("Done."), afternoon);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^2:05:09[\\s\\x{00A0}\\x{202F}]?PM:Done\\.\r\n$")).match(line).hasMatch())
        << qPrintable(line);
}

TEST(mdlFunctionsText, AddLogLineAppendsAndShowsTheEnd)
{
    LocaleGuard guard(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const QRegularExpression shape(
        QStringLiteral("^Earlier\n\\d\\d:\\d\\d:\\d\\d:Preparing to split: a.mp3\n\\d\\d:\\d\\d:\\d\\d:Done.\n$"));

    QPlainTextEdit plain;
    plain.setPlainText(QStringLiteral("Earlier\n"));
    plain.moveCursor(QTextCursor::Start);
    mdlFunctions::AddLogLine(QStringLiteral("Preparing to split: a.mp3"), &plain);
    mdlFunctions::AddLogLine(QStringLiteral("Done."), &plain);
    EXPECT_TRUE(shape.match(plain.toPlainText()).hasMatch()) << qPrintable(plain.toPlainText());
    EXPECT_EQ(plain.textCursor().position(), plain.document()->characterCount() - 1);

    QTextEdit rich;
    rich.setPlainText(QStringLiteral("Earlier\n"));
    mdlFunctions::AddLogLine(QStringLiteral("Preparing to split: a.mp3"), &rich);
    mdlFunctions::AddLogLine(QStringLiteral("Done."), &rich);
    EXPECT_TRUE(shape.match(rich.toPlainText()).hasMatch()) << qPrintable(rich.toPlainText());
    EXPECT_EQ(rich.textCursor().position(), rich.document()->characterCount() - 1);
}
