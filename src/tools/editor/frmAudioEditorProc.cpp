#include "tools/editor/frmAudioEditorProc.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/XP_ProgressBar.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "tools/editor/EditorSkin.h"
#include "tools/frame/DestinationHandOver.h"

#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTime>
#include <QTimer>

namespace {

QPointer<frmAudioEditorProc> g_frmAudioEditorProc;

constexpr int kWidth = 420;
constexpr int kHeight = 120;

// The format texts this window knows, by their first three letters.
const char *const kFormatCodes[] = {"WAV", "ACM", "MP3", "WMA", "OGG", "APE"};

QString longTimeText(const QTime &time)
{
    const QLocale locale;
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return locale.toString(time, format.trimmed());
}

} // namespace

frmAudioEditorProc::frmAudioEditorProc(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Preparing Audio Analyzer"));
    setFixedSize(kWidth, kHeight);
    lblCurrentTrack = new QLabel(QStringLiteral("Preparing..."), this);
    lblCurrentTrack->setGeometry(12, 12, kWidth - 24, 36);
    lblCurrentTrack->setWordWrap(true);
    prgCurrnet = new XP_ProgressBar(this);
    prgCurrnet->setGeometry(12, 52, kWidth - 24, 14);
    cmdAbort = new QPushButton(QStringLiteral("Abort"), this);
    cmdAbort->setGeometry(kWidth - 102, 78, 90, 26);
    connect(cmdAbort, &QPushButton::clicked, this, &frmAudioEditorProc::cmdAbort_Click);
    Timer1 = new QTimer(this);
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &frmAudioEditorProc::Timer1_Timer);
    cAudioConverter1 = new cAudioConverter(this);
    connect(cAudioConverter1, &cAudioConverter::Progress, this, &frmAudioEditorProc::cAudioConverter1_Progress);
    connect(cAudioConverter1, &cAudioConverter::Done, this, &frmAudioEditorProc::cAudioConverter1_Done);
    connect(cAudioConverter1, &cAudioConverter::Aborted, this, &frmAudioEditorProc::cAudioConverter1_Aborted);
    connect(cAudioConverter1, &cAudioConverter::Error, this, &frmAudioEditorProc::cAudioConverter1_Error);
}

frmAudioEditorProc::~frmAudioEditorProc() = default;

void frmAudioEditorProc::Form_Load()
{
    EditorSkin::paintViewBack(this);
    prgCurrnet->setColor(quint32(g_lTitleBackColor));
    EditorSkin::paintViewPicture(this, g_sViewBackPicture);
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("document_pulse"), true);
}

void frmAudioEditorProc::Form_Unload(int &cancel)
{
    cancel = 0;
    Timer1->stop();
    cAudioConverter1->Terminate();
    // Closed before the conversion was done (after an error, or by its close
    // box): there is no finished file for the editor to open. Whatever the
    // destination held before is not this item's sound.
    if (!m_bConverted) {
        if (MainWindowFace *main = Forms::mainFace())
            main->setAudioEditorAborted();
    }
}

void frmAudioEditorProc::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
}

void frmAudioEditorProc::reject()
{
    close();
}

void frmAudioEditorProc::ConvertFile(const QString &sSource, const QString &sDest)
{
    m_sSourceFile = sSource;
    m_sDestFile = sDest;
    m_bConverted = false;
    Timer1->start();
}

void frmAudioEditorProc::Timer1_Timer()
{
    ConvertX();
}

void frmAudioEditorProc::ConvertX()
{
    Timer1->stop();
    if (g_bConvertTo) {
        SetDestination();
        SetID3Tags();
    } else {
        cAudioConverter1->DestFormat(DestWAV);
        WavFormatSettings wav;
        wav.SampleRate = g_lWavSampleRate;
        wav.Channels = qint16(g_lWavChannelsIndex + 1);
        wav.BitsPerSample = qint16(g_lWavBitsPerSample);
        cAudioConverter1->SetWAVSettings(wav);
    }
    cAudioConverter1->SourceFile(m_sSourceFile);
    cAudioConverter1->DestFile(m_sDestFile);
    cAudioConverter1->Convert();
}

void frmAudioEditorProc::SetDestination()
{
    const QString code = g_sConvertToTarget.left(3).toUpper();
    for (qint16 index = 0; index < qint16(std::size(kFormatCodes)); ++index) {
        if (code == QLatin1String(kFormatCodes[index])) {
            DestinationHandOver::handOver(*cAudioConverter1, index);
            return;
        }
    }
    // A text naming none of the formats hands nothing over.
}

void frmAudioEditorProc::SetID3Tags()
{
    cAudioConverter1->TagAlbum(CreateID3TagsString(g_sTagAlbum));
    cAudioConverter1->TagArtist(CreateID3TagsString(g_sTagArtist));
    cAudioConverter1->TagComment(CreateID3TagsString(g_sTagComment));
    cAudioConverter1->TagGenre(CreateID3TagsString(g_sTagGenre));
    cAudioConverter1->TagTitle(CreateID3TagsString(g_sTagSong));
    cAudioConverter1->TagTrack(CreateID3TagsString(g_sTagTrack));
    cAudioConverter1->TagYear(CreateID3TagsString(g_sTagYear));
}

QString frmAudioEditorProc::CreateID3TagsString(const QString &sStr) const
{
    QString text = sStr;
    text.replace(QStringLiteral("[DATE]"), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    text.replace(QStringLiteral("[TIME]"), longTimeText(QTime::currentTime()));
    // There is no items grid here: the one file is track 1.
    text.replace(QStringLiteral("[TRACK_NUM]"), QStringLiteral("1"));
    text.replace(QStringLiteral("[PROG_NAME]"), g_sAppName);
    text.replace(QStringLiteral("[PROG_VERSION]"), g_sAppVersion);
    text.replace(QStringLiteral("[YEAR]"), QString::number(QDate::currentDate().year()));
    return text;
}

void frmAudioEditorProc::cAudioConverter1_Progress(qint32 percent)
{
    if (percent < 1)
        return;
    prgCurrnet->setValue(percent);
}

void frmAudioEditorProc::cAudioConverter1_Done()
{
    lblCurrentTrack->setText(QStringLiteral("Done."));
    Timer1->stop();
    m_bConverted = true;
    g_bConvertTo = false;
    emit conversionDone();
    endUse();
}

void frmAudioEditorProc::cAudioConverter1_Aborted()
{
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
    Timer1->stop();
    if (MainWindowFace *main = Forms::mainFace())
        main->setAudioEditorAborted();
    g_bConvertTo = false;
    endUse();
}

void frmAudioEditorProc::cAudioConverter1_Error(qint32 code, const QString &text)
{
    lblCurrentTrack->setText(text + QStringLiteral("(") + QString::number(code) + QStringLiteral(")"));
    g_bConvertTo = false;
    Timer1->stop();
}

void frmAudioEditorProc::cmdAbort_Click()
{
    cAudioConverter1->Abort();
}

void frmAudioEditorProc::endUse()
{
    close();
}

namespace Forms {

frmAudioEditorProc *audioEditorProc()
{
    return g_frmAudioEditorProc;
}

frmAudioEditorProc &loadAudioEditorProc(QWidget *owner)
{
    return load(g_frmAudioEditorProc, owner);
}

} // namespace Forms
