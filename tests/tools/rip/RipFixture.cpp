#include "RipFixture.h"

#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "mainwindow/frmMain.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRow.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/ScriptedServices.h"
#include "tools/rip/frmCDRipper.h"
#include "tools/rip/frmFreeDB.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>

void RipFixture::SetUp()
{
    ToolWindowFixture::SetUp();
    g_lWavSampleRate = 44100;
    g_lWavChannelsIndex = 1;
    g_lWavBitsPerSample = 16;
    g_lMp3Bitrate = 128;
    g_lMp3SampleRate = 44100;
    g_lMp3Mode = 1;
    g_lMp3Quality = 5;
    g_bMp3ABR = g_bMp3VBRTag = false;
    g_sDefaultTargetFormat = kWavFormat;
    g_sDefaultFileNameFormat.clear();
    QDir().mkpath(destination());
}

void RipFixture::TearDown()
{
    if (frmCDRipper *ripper = Forms::cdRipper()) {
        waitUntil([ripper] { return !ripper->isCheckingDrive(); }, 10000);
        ripper->close();
    }
    if (frmFreeDB *db = Forms::freeDB())
        db->close();
    g_bAppClosing = true;
    Forms::unload(Forms::options());
    Forms::unload(Forms::audioProp());
    Forms::unload(Forms::main());
    g_bAppClosing = false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    mainGrid.reset();
}

QString RipFixture::makeDisc(const QString &name, const QVector<CdFixture::Track> &tracks)
{
    return CdFixture::writeImage(TestEnv::workFolder(), name, tracks);
}

void RipFixture::useDrives(const QStringList &paths)
{
    qputenv("SONVALE_CD_DEVICES", QFile::encodeName(paths.join(QLatin1Char(':'))));
}

int RipFixture::addTrack(int seconds, bool marked, const TrackTags &tags)
{
    const int row = mainGrid->Rows() + 1;
    const QString name = QStringLiteral("Track%1.cda").arg(row, 2, 10, QLatin1Char('0'));
    const auto set = [&](const char *key, const QString &text) {
        mainGrid->SetCell(row, mainGrid->ColumnIndex(QLatin1String(key)), text);
    };
    set("Type", QString());
    set("Item Name", name);
    set("Time", QStringLiteral("00:00:%1").arg(seconds, 2, 10, QLatin1Char('0')));
    set("Range", QStringLiteral("All"));
    set("COL_FILE", QStringLiteral("D:/") + name);
    set("COL_RANGE_ALL", QStringLiteral("1"));
    set("COL_BYTES_SIZE", QString::number(seconds * 176400));
    set("COL_TAG_ALBUM", tags.album);
    set("COL_TAG_ARTIST", tags.artist);
    set("COL_TAG_COMMENT", tags.comment);
    set("COL_TAG_GEN", tags.genre);
    set("COL_TAG_YEAR", tags.year);
    set("COL_TAG_TITLE", tags.title);
    set("COL_TAG_TRACK", tags.track);
    mainGrid->setCellIcon(row, mainGrid->ColumnIndex(ItemsListRow::key(ItemsListRow::Inc)),
                          marked ? ItemsListRow::IconMarked : ItemsListRow::IconUnmarked);
    return row;
}

frmCDRipper &RipFixture::openRipper(const QString &nodeText, const QString &drive)
{
    frmCDRipper &window = Forms::loadCDRipper();
    window.HandOver(mainRows(), nodeText, drive);
    window.txtToPath->setEditText(destination());
    waitUntil([&window] { return !window.isCheckingDrive(); }, 10000);
    return window;
}

QString RipFixture::destination()
{
    return TestEnv::workFolder() + QStringLiteral("/out/");
}
