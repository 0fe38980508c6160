#include "BurnWinFixture.h"

#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "lists/ItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "platform/AppPaths.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/AudioFiles.h"
#include "tools/frame/ToolWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include <cmath>

namespace {
}

void BurnWinFixture::SetUp()
{
    ToolWindowFixture::SetUp();
    g_lMp3Bitrate = 32;
    g_lMp3SampleRate = kRate;
    g_lMp3Quality = 5;
    g_lMp3Mode = 3;
    g_bMp3VBRTag = true;
    g_bMp3ABR = false;
}

void BurnWinFixture::useDrives(const QStringList &images)
{
    QStringList entries;
    for (const QString &image : images)
        entries << QStringLiteral("stdio:") + image;
    qputenv("SONVALE_BURN_DEVICES", QFile::encodeName(entries.join(QLatin1Char(':'))));
}

void BurnWinFixture::noDrives()
{
    qunsetenv("SONVALE_BURN_DEVICES");
}

QString BurnWinFixture::makeTone(const QString &name, int seconds, double frequency)
{
    const QString path = work(name);
    TestAudio::writeWav(path, TestAudio::WavSpec{kRate, 1, 16}, qint64(seconds) * kRate, [frequency](qint64 i, int) {
        return qint16(std::lround(9000.0 * std::sin(2.0 * M_PI * frequency * double(i) / kRate)));
    });
    return path;
}

int BurnWinFixture::addRow(const QString &path, const QString &time)
{
    const int row = mainGrid->Rows() + 1;
    const auto set = [&](const char *key, const QString &text) {
        mainGrid->SetCell(row, mainGrid->ColumnIndex(QLatin1String(key)), text);
    };
    const QFileInfo info(path);
    set("Inc", QStringLiteral("1"));
    set("Item Name", info.fileName());
    set("Time", time.isEmpty() ? QStringLiteral("0:00:02") : time);
    set("Range", QStringLiteral("All"));
    set("COL_FILE", path);
    set("COL_RANGE_ALL", QStringLiteral("1"));
    set("COL_BYTES_SIZE", QString::number(info.size()));
    return row;
}

QList<int> BurnWinFixture::allRows() const
{
    QList<int> rows;
    for (int row = 1; row <= mainGrid->Rows(); ++row)
        rows << row;
    return rows;
}

QString BurnWinFixture::work(const QString &name)
{
    return TestEnv::workFolder() + QLatin1Char('/') + name;
}

QString BurnWinFixture::tempFolder()
{
    return AppPaths::programFolder() + QStringLiteral("/datacdtmp");
}

QStringList BurnWinFixture::filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QString BurnWinFixture::balloon(const QString &text)
{
    return g_sAppName + QLatin1Char(' ') + g_sAppVersion + QLatin1Char('|') + text;
}
