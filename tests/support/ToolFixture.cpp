#include "support/ToolFixture.h"

#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/frmTurnOff.h"
#include "mainwindow/frmMain.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "lists/ItemsGrid.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "support/AudioFixtures.h"
#include "support/ScriptedServices.h"
#include "tools/frame/ToolWindow.h"

#include <QApplication>
#include <QLabel>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

void ToolFixture::SetUp()
{
    ToolWindowFixture::SetUp();
    g_lWavSampleRate = kRate;
    g_lWavChannelsIndex = 0;
    g_lWavBitsPerSample = 16;
    g_sDefaultTargetFormat = kWavFormat;
    g_sEndSoundFile = QStringLiteral("/opt/sounds/notify.wav");
    g_sNoticeCommandLine.clear();
    QDir().mkpath(destination());
}

QString ToolFixture::makeTone(const QString &name, qint64 frames)
{
    const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
    Fixture::writeWav(path, Fixture::WavSpec{kRate, 1, 16}, frames);
    return path;
}

int ToolFixture::addRow(const QString &path, const RowTags &tags, int rangeStart, int rangeLength)
{
    const int row = mainGrid->Rows() + 1;
    const auto set = [&](const char *key, const QString &text) {
        mainGrid->SetCell(row, mainGrid->ColumnIndex(QLatin1String(key)), text);
    };
    const QFileInfo info(path);
    set("Inc", QStringLiteral("1"));
    set("Item Name", info.fileName());
    set("Time", QStringLiteral("0:00:10"));
    set("Size", QStringLiteral("160 KB"));
    set("Range", rangeStart < 0 ? QStringLiteral("All") : QStringLiteral("range"));
    set("COL_FILE", path);
    set("COL_RANGE_ALL", rangeStart < 0 ? QStringLiteral("1") : QStringLiteral("0"));
    set("COL_RANGE_START_TIME", rangeStart < 0 ? QString() : QString::number(rangeStart));
    set("COL_RANGE_LENGTH_TIME", rangeStart < 0 ? QString() : QString::number(rangeLength));
    set("COL_BYTES_SIZE", QString::number(info.size()));
    set("COL_TAG_ALBUM", tags.album);
    set("COL_TAG_ARTIST", tags.artist);
    set("COL_TAG_COMMENT", tags.comment);
    set("COL_TAG_GEN", tags.genre);
    set("COL_TAG_YEAR", tags.year);
    set("COL_TAG_TITLE", tags.title);
    set("COL_TAG_TRACK", tags.track);
    return row;
}

QString ToolFixture::destination() const
{
    return TestEnv::workFolder() + QStringLiteral("/out/");
}

qint64 ToolFixture::wavFrames(const QString &path)
{
    Fixture::WavSpec spec;
    const QVector<qint16> samples = Fixture::readWav16(path, &spec);
    return spec.channels > 0 ? samples.size() / spec.channels : 0;
}
