#include "RecTtsFixture.h"

#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRow.h"
#include "lists/frmStat.h"
#include "mainwindow/frmMain.h"
#include "platform/AppPaths.h"
#include "settings/frmAudioProp.h"
#include "settings/OptionSettings.h"
#include "settings/frmOptions.h"
#include "support/AudioFixtures.h"
#include "support/ListLoads.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>

void RecTtsFixture::SetUp()
{
    const QString folder = AppPaths::programFolder() + QStringLiteral("/Main/");
    QDir().mkpath(folder);
    // The options of an earlier test may still name that test's folder.
    g_sItemsListMainDirectory = folder;
    listFile = folder + QStringLiteral("Takes.flst");
    QFile file(listFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\r\n");
    file.close();
    frmMain &window = Forms::loadMain();
    cTreeNodes lists = g_oItemsListsRoot->Child();
    for (int i = 1; i <= lists.Count(); ++i) {
        if (lists.Item(i)->Text() == QLatin1String("Takes")) {
            ASSERT_TRUE(ListLoads::show(window, lists.Item(i)));
        }
    }
}

void RecTtsFixture::TearDown()
{
    if (frmMain *window = Forms::main())
        Forms::unload(window);
    g_bAppClosing = true;
    Forms::unload(Forms::options());
    Forms::unload(Forms::audioProp());
    g_bAppClosing = false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

frmMain &RecTtsFixture::main() const
{
    return *Forms::main();
}

QString RecTtsFixture::work(const QString &name)
{
    return TestEnv::workFolder() + QLatin1Char('/') + name;
}

QString RecTtsFixture::tone(const QString &name, int ms, int rate)
{
    const QString path = work(name);
    Fixture::writeWav(path, Fixture::WavSpec{rate, 1, 16}, qint64(rate) * ms / 1000);
    return path;
}

QStringList RecTtsFixture::listedFiles() const
{
    const cGrid &grid = *main().cGrid1;
    const int column = grid.ColumnIndex(ItemsListRow::key(ItemsListRow::File));
    QStringList files;
    for (int row = 1; row <= grid.Rows(); ++row)
        files << grid.CellText(row, column);
    return files;
}

QStringList RecTtsFixture::storedFiles() const
{
    if (frmMain *window = Forms::main()) {
        EXPECT_TRUE(ListLoads::settle(*window));
    }
    QFile file(listFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QStringList files;
    static const QRegularExpression field(QStringLiteral("<COL_FILE>(.*?)</COL_FILE>"));
    for (const QRegularExpressionMatch &m : field.globalMatch(text))
        files << m.captured(1);
    return files;
}

QStringList RecTtsFixture::logEntries(const QPlainTextEdit *log)
{
    QStringList entries;
    static const QRegularExpression timeAndEntry(
        QStringLiteral("^\\d{1,2}:\\d{2}:\\d{2}(?:\\s?[AaPp]\\.?[Mm]\\.?)?(:.*)$"));
    for (QString line : log->toPlainText().split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        const QRegularExpressionMatch m = timeAndEntry.match(line);
        entries << (m.hasMatch() ? m.captured(1) : line);
    }
    while (!entries.isEmpty() && entries.last().isEmpty())
        entries.removeLast();
    return entries;
}

bool RecTtsFixture::addEnded()
{
    // An add asked for while the list reloads starts once the list is in.
    return waitUntil(
        [] {
            const frmMain *window = Forms::main();
            return g_frmStat == nullptr && (!window || !window->isLoadingList());
        },
        60000);
}
