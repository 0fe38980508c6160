#include "ConvertFixture.h"

#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/frmTurnOff.h"
#include "core/mdlModes.h"
#include "lists/ItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/AudioFixtures.h"
#include "support/ScriptedServices.h"
#include "tools/convert/frmConverter.h"
#include "tools/frame/ToolWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

void ConvertFixture::SetUp()
{
    ToolWindowFixture::SetUp();
    g_lWavSampleRate = kRate;
    g_lWavChannelsIndex = 0;
    g_lWavBitsPerSample = 16;
    g_lMp3Bitrate = 32;
    g_lMp3SampleRate = kRate;
    g_lMp3Quality = 5;
    g_lMp3Mode = 3;
    g_bMp3VBRTag = true;
    g_bMp3ABR = false;
    g_bOggBitrateMode = false;
    g_lOggQuality = 40;
    g_sDefaultTargetFormat = kWavFormat;
    g_sDefaultFileNameFormat.clear();
    g_sEndSoundFile = QStringLiteral("/opt/sounds/notify.wav");
    g_sNoticeCommandLine.clear();
    QDir().mkpath(destination());
}

void ConvertFixture::TearDown()
{
    if (frmConverter *w = Forms::converter()) {
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ToolWindowFixture::TearDown();
}

QString ConvertFixture::makeTone(const QString &name, int seconds)
{
    const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
    Fixture::writeWav(path, Fixture::WavSpec{kRate, 1, 16}, qint64(seconds) * kRate);
    return path;
}

int ConvertFixture::addRow(const QString &path, const RowSpec &spec)
{
    const int row = mainGrid->Rows() + 1;
    const auto set = [&](const char *key, const QString &text) {
        mainGrid->SetCell(row, mainGrid->ColumnIndex(QLatin1String(key)), text);
    };
    const QFileInfo info(path);
    const bool ranged = spec.rangeStart >= 0;
    QString time = spec.time;
    if (time.isEmpty()) {
        Fixture::WavSpec wav;
        // Only our own WAV tones are measured; other rows give their time.
        const bool wavTone = info.exists() && info.suffix() == QLatin1String("wav");
        const qint64 frames = wavTone ? Fixture::readWav16(path, &wav).size() : 0;
        const qint64 seconds = wav.channels > 0 && wav.rate > 0 ? frames / wav.channels / wav.rate : 0;
        time = QStringLiteral("0:00:%1").arg(seconds, 2, 10, QLatin1Char('0'));
    }
    set("Inc", QStringLiteral("1"));
    set("Item Name", spec.itemName.isEmpty() ? info.fileName() : spec.itemName);
    set("Time", time);
    set("Size", QStringLiteral("16 KB"));
    set("Range", ranged ? QStringLiteral("range") : QStringLiteral("All"));
    set("COL_FILE", path);
    set("COL_RANGE_ALL", ranged ? QStringLiteral("0") : QStringLiteral("1"));
    set("COL_RANGE_START_TIME", ranged ? QString::number(spec.rangeStart) : QString());
    set("COL_RANGE_LENGTH_TIME", ranged ? QString::number(spec.rangeLength) : QString());
    set("COL_BYTES_SIZE", QString::number(info.size()));
    set("COL_TAG_TRACK", spec.trackTag);
    return row;
}

QList<int> ConvertFixture::allRows() const
{
    QList<int> rows;
    for (int row = 1; row <= mainGrid->Rows(); ++row)
        rows << row;
    return rows;
}

QString ConvertFixture::destination() const
{
    return TestEnv::workFolder() + QStringLiteral("/out/");
}

QStringList ConvertFixture::writtenFiles() const
{
    return QDir(destination()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

qint64 ConvertFixture::wavFrames(const QString &path)
{
    Fixture::WavSpec spec;
    const QVector<qint16> samples = Fixture::readWav16(path, &spec);
    return spec.channels > 0 ? samples.size() / spec.channels : 0;
}

void ConvertFixture::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ConvertFixture::readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString ConvertFixture::balloonText(const QString &text)
{
    return g_sAppName + QLatin1Char(' ') + g_sAppVersion + QLatin1Char('|') + text;
}
