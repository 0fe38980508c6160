#include "tools/editor/frmAudioEditorProc.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/XP_ProgressBar.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "mainwindow/frmMain.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "tools/editor/EditorSkin.h"
#include "tools/frame/ToolWindow.h"

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

// The time as the tag texts write it: the user's long time format without
// the time zone.
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
    , cAudioConverter1(new cAudioConverter(this))
{
    setWindowTitle(QStringLiteral("Preparing Audio Analyzer"));
    setFixedSize(360, 110);
    lblCurrentTrack = new QLabel(QStringLiteral("Preparing..."), this);
    lblCurrentTrack->setGeometry(12, 10, 336, 20);
    prgCurrnet = new XP_ProgressBar(this);
    prgCurrnet->setGeometry(12, 36, 336, 18);
    cmdAbort = new QPushButton(QStringLiteral("Abort"), this);
    cmdAbort->setGeometry(248, 70, 100, 26);
    Timer1 = new QTimer(this);
    Timer1->setInterval(10);

    connect(cmdAbort, &QPushButton::clicked, this, &frmAudioEditorProc::cmdAbort_Click);
    connect(Timer1, &QTimer::timeout, this, &frmAudioEditorProc::Timer1_Timer);
    connect(cAudioConverter1, &cAudioConverter::Progress, this, &frmAudioEditorProc::cAudioConverter1_Progress);
    connect(cAudioConverter1, &cAudioConverter::Done, this, &frmAudioEditorProc::cAudioConverter1_Done);
    connect(cAudioConverter1, &cAudioConverter::Aborted, this, &frmAudioEditorProc::cAudioConverter1_Aborted);
    connect(cAudioConverter1, &cAudioConverter::Error, this, &frmAudioEditorProc::cAudioConverter1_Error);
}

frmAudioEditorProc::~frmAudioEditorProc() = default;

void frmAudioEditorProc::Form_Load()
{
    if (const auto back = EditorSkin::viewBackColour())
        EditorSkin::paintBackground(this, *back);
    prgCurrnet->setColor(quint32(g_lTitleBackColor));
    if (!g_sViewBackPicture.isEmpty())
        EditorSkin::paintPicture(this, EditorSkin::viewPicture(g_sViewBackPicture));
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("document_pulse"), true);
}

void frmAudioEditorProc::ConvertFile(const QString &sSource, const QString &sDest)
{
    m_sSourceFile = sSource;
    m_sDestFile = sDest;
    g_lastOutcome = Outcome::None;
    g_sLastError.clear();
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
        cAudioConverter1->DestFormat(1);
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
    static const QStringList keys{QStringLiteral("WAV"), QStringLiteral("ACM"), QStringLiteral("MP3"),
                                  QStringLiteral("WMA"), QStringLiteral("OGG"), QStringLiteral("APE")};
    const qint16 index = qint16(keys.indexOf(g_sConvertToTarget.left(3).toUpper()));
    // A text that names none of the formats hands over nothing at all.
    if (index >= 0)
        ToolWindow::HandOverFormat(*cAudioConverter1, index);
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
    // One file, no items grid: it is always the first track.
    text.replace(QStringLiteral("[TRACK_NUM]"), QStringLiteral("1"));
    text.replace(QStringLiteral("[PROG_NAME]"), g_sAppName);
    text.replace(QStringLiteral("[PROG_VERSION]"), g_sAppVersion);
    text.replace(QStringLiteral("[YEAR]"), QString::number(QDate::currentDate().year()));
    return text;
}

void frmAudioEditorProc::cmdAbort_Click()
{
    cAudioConverter1->Abort();
}

void frmAudioEditorProc::cAudioConverter1_Progress(qint32 percent)
{
    if (percent >= 1)
        prgCurrnet->setValue(percent);
}

void frmAudioEditorProc::cAudioConverter1_Done()
{
    lblCurrentTrack->setText(QStringLiteral("Done."));
    Timer1->stop();
    g_bConvertTo = false;
    g_lastOutcome = Outcome::Done;
    close();
}

void frmAudioEditorProc::cAudioConverter1_Aborted()
{
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
    Timer1->stop();
    if (frmMain *main = Forms::main())
        main->g_bAbortedAudioEditor = true;
    g_bConvertTo = false;
    g_lastOutcome = Outcome::Aborted;
    close();
}

void frmAudioEditorProc::cAudioConverter1_Error(qint32 code, const QString &text)
{
    lblCurrentTrack->setText(text + QStringLiteral("(") + QString::number(code) + QStringLiteral(")"));
    g_bConvertTo = false;
    Timer1->stop();
    g_lastOutcome = Outcome::Error;
    g_sLastError = text;
}

void frmAudioEditorProc::Form_Unload(int &Cancel)
{
    Cancel = 0;
    if (m_bUnloading)
        return;
    m_bUnloading = true;
    Timer1->stop();
    cAudioConverter1->Terminate();
}

void frmAudioEditorProc::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
}

void frmAudioEditorProc::reject()
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
    if (!g_frmAudioEditorProc) {
        auto *form = new frmAudioEditorProc(owner);
        form->setAttribute(Qt::WA_DeleteOnClose);
        g_frmAudioEditorProc = form;
        Q_EMIT events().Loaded(form);
        form->Form_Load();
    }
    return *g_frmAudioEditorProc;
}

} // namespace Forms
