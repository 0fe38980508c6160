#include "tools/editor/frmAudioEditor.h"

#include "controls/audio/cAudioEditor.h"
#include "controls/ui/XP_ProgressBar.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"
#include "tools/editor/EditorSkin.h"

#include <QAction>
#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolBar>

#include <cmath>

namespace {

QPointer<frmAudioEditor> g_frmAudioEditor;

constexpr int kWidth = 640;
constexpr int kHeight = 500;
constexpr int kMargin = 10;
constexpr int kTitleHeight = 40;

struct ToolbarButton {
    const char *key; // null: a separator
    const char *caption;
    const char *tooltip;
    int icon;
};

const ToolbarButton kButtons[] = {
    {"Play", "Play", "Play", 55},
    {"Pause", "Pause", "Pause", 67},
    {"Stop", "Stop", "Stop", 40},
    {nullptr, "", "", -1},
    {"Zoom", "Zoom", "Zoom", 68},
    {"Restore", "Restore", "Restore", 62},
    {nullptr, "", "", -1},
    {"Save Selection", "Save As", "Save Selection As...", 5},
    {nullptr, "", "", -1},
    {"Abort", "Abort", "Abort Operation", 27},
};

// A caption beside its value label inside a frame.
QLabel *valueRow(QGroupBox *frame, int row, const QString &caption)
{
    auto *name = new QLabel(caption, frame);
    name->setGeometry(10, 22 + row * 20, 110, 18);
    auto *value = new QLabel(frame);
    value->setGeometry(124, 22 + row * 20, 170, 18);
    return value;
}

// Seconds to the nearest whole, a half going to the even one.
qint64 roundedSeconds(qint64 ms)
{
    return qint64(std::nearbyint(double(ms) / 1000.0));
}

} // namespace

frmAudioEditor::frmAudioEditor(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kWidth, kHeight);

    txtWavFile = new QLineEdit(this);
    txtWavFile->setVisible(false);

    picTitle = new QWidget(this);
    picTitle->setGeometry(0, 0, kWidth, kTitleHeight);
    picTitle->setAutoFillBackground(true);
    lblTitle = new QLabel(QStringLiteral("Audio Analyzer"), picTitle);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 3);
    lblTitle->setFont(titleFont);
    lblTitle->setGeometry(2 * kMargin, 8, kWidth - 4 * kMargin, 24);

    cAudioEditor1 = new cAudioEditor(this);
    cAudioEditor1->setGeometry(kMargin, kTitleHeight + 6, kWidth - 2 * kMargin, 200);
    connect(cAudioEditor1, &cAudioEditor::FileInfo, this, &frmAudioEditor::cAudioEditor1_FileInfo);
    connect(cAudioEditor1, &cAudioEditor::SelectionChanged, this, &frmAudioEditor::cAudioEditor1_SelectionChanged);
    connect(cAudioEditor1, &cAudioEditor::Progress, this, &frmAudioEditor::cAudioEditor1_Progress);
    connect(cAudioEditor1, &cAudioEditor::SelectionReady, this, &frmAudioEditor::cAudioEditor1_SelectionReady);
    connect(cAudioEditor1, &cAudioEditor::OperationDone, this, &frmAudioEditor::cAudioEditor1_OperationDone);
    connect(cAudioEditor1, &cAudioEditor::SaveDone, this, &frmAudioEditor::cAudioEditor1_SaveDone);
    connect(cAudioEditor1, &cAudioEditor::PlayDone, this, &frmAudioEditor::cAudioEditor1_PlayDone);
    connect(cAudioEditor1, &cAudioEditor::Error, this, &frmAudioEditor::cAudioEditor1_Error);

    picList = new QWidget(this);
    picList->setGeometry(kMargin, kTitleHeight + 212, kWidth - 2 * kMargin, 34);
    tlbrList = new QToolBar(picList);
    tlbrList->setGeometry(0, 0, kWidth - 2 * kMargin, 34);
    tlbrList->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tlbrList->setIconSize(QSize(16, 16));

    buildFrames();

    prgCurrnet = new XP_ProgressBar(this);
    prgCurrnet->setGeometry(kMargin, kHeight - 66, kWidth - 2 * kMargin, 12);

    const int buttonTop = kHeight - 44;
    cmdAddSelection = new QPushButton(QStringLiteral("Add Selection"), this);
    cmdAddSelection->setGeometry(kMargin, buttonTop, 110, 26);
    cmdAbort = new QPushButton(QStringLiteral("Abort"), this);
    cmdAbort->setGeometry(kWidth - 2 * 96 - kMargin, buttonTop, 90, 26);
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setGeometry(kWidth - 96 - kMargin, buttonTop, 90, 26);
    connect(cmdAddSelection, &QPushButton::clicked, this, &frmAudioEditor::cmdAddSelection_Click);
    connect(cmdAbort, &QPushButton::clicked, this, &frmAudioEditor::cmdAbort_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAudioEditor::cmdExit_Click);
}

frmAudioEditor::~frmAudioEditor() = default;

void frmAudioEditor::buildFrames()
{
    const int top = kTitleHeight + 252;
    const int half = (kWidth - 3 * kMargin) / 2;
    fraInfo = new QGroupBox(QStringLiteral("File Information"), this);
    fraInfo->setGeometry(kMargin, top, half, 128);
    lblInfoSamples = valueRow(fraInfo, 0, QStringLiteral("Info Samples"));
    lblInfoChannels = valueRow(fraInfo, 1, QStringLiteral("Info Channels"));
    lblInfoBits = valueRow(fraInfo, 2, QStringLiteral("Info Bits"));
    lblLength = valueRow(fraInfo, 3, QStringLiteral("Time Length"));
    lblNumOfSamples = valueRow(fraInfo, 4, QStringLiteral("Total Samples"));

    fraPosition = new QGroupBox(QStringLiteral("Selection Position"), this);
    fraPosition->setGeometry(2 * kMargin + half, top, half, 128);
    lblSamplesStart = valueRow(fraPosition, 0, QStringLiteral("Samples Start"));
    lblSamplesEnd = valueRow(fraPosition, 1, QStringLiteral("Samples End"));
    lblTimeStart = valueRow(fraPosition, 2, QStringLiteral("Time Start"));
    lblTimeEnd = valueRow(fraPosition, 3, QStringLiteral("Time End"));
    lblSelectedTime = valueRow(fraPosition, 4, QStringLiteral("Selected Time"));
    // Until a file reports, the time labels hold their design captions.
    lblTimeStart->setText(QStringLiteral("Time Start"));
    lblTimeEnd->setText(QStringLiteral("Time End"));
}

void frmAudioEditor::buildToolbar()
{
    const MainWindowFace *main = Forms::mainFace();
    for (const ToolbarButton &button : kButtons) {
        if (!button.key) {
            tlbrList->addSeparator();
            continue;
        }
        QAction *action = tlbrList->addAction(QString::fromLatin1(button.caption));
        action->setObjectName(QString::fromLatin1(button.key));
        action->setToolTip(QString::fromLatin1(button.tooltip));
        if (main)
            action->setIcon(main->menuIcon(button.icon));
    }
    const QList<QAction *> actions = tlbrList->actions();
    for (int i = 0; i < actions.size(); ++i)
        connect(actions[i], &QAction::triggered, this, [this, i] { tlbrList_ButtonClick(i); });
}

void frmAudioEditor::Form_Load()
{
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("document_pulse"), true);
    EditorSkin::paintColour(picTitle, quint32(g_lTitleBackColor));
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, EditorSkin::colourOf(quint32(g_lTitleTextColor)));
    lblTitle->setPalette(titlePalette);
    for (QWidget *widget : {static_cast<QWidget *>(this), static_cast<QWidget *>(fraInfo),
                            static_cast<QWidget *>(fraPosition), picList})
        EditorSkin::paintViewBack(widget);
    cAudioEditor1->TextColor(quint32(g_lTitleTextColor));
    cAudioEditor1->BackColor2(quint32(g_lTitleBackColor));
    cAudioEditor1->BackColor(quint32(g_lTitleBackColor));
    prgCurrnet->setColor(quint32(g_lTitleBackColor));
    EditorSkin::paintViewPicture(this, g_sViewBackPicture);
    EditorSkin::paintViewPicture(picTitle, g_sViewTitlePicture);
    buildToolbar();
}

void frmAudioEditor::openWave(const QString &path, const QString &title)
{
    txtWavFile->setText(path);
    cAudioEditor1->OpenFile(path);
    setWindowTitle(title);
}

void frmAudioEditor::Form_Unload(int &cancel)
{
    cancel = 0;
    cAudioEditor1->Terminate();
}

void frmAudioEditor::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
}

void frmAudioEditor::reject()
{
    close();
}

QString frmAudioEditor::ButtonKey(int index) const
{
    const QList<QAction *> actions = tlbrList->actions();
    return index >= 0 && index < actions.size() ? actions[index]->objectName() : QString();
}

QAction *frmAudioEditor::toolbarButton(const QString &key) const
{
    for (QAction *action : tlbrList->actions()) {
        if (!action->isSeparator() && action->objectName() == key)
            return action;
    }
    return nullptr;
}

void frmAudioEditor::tlbrList_ButtonClick(int index)
{
    const QString key = ButtonKey(index);
    if (key == QLatin1String("Play")) {
        const qint32 result = cAudioEditor1->Play();
        if (result == 0)
            toolbarButton(key)->setEnabled(false);
        else
            MsgBox(cAudioEditor1->ErrorText(), Msg::Information);
    } else if (key == QLatin1String("Pause")) {
        if (cAudioEditor1->IsPaused())
            cAudioEditor1->Resume();
        else
            cAudioEditor1->Pause();
    } else if (key == QLatin1String("Stop")) {
        cAudioEditor1->Stop();
        toolbarButton(QStringLiteral("Play"))->setEnabled(true);
    } else if (key == QLatin1String("Zoom")) {
        cAudioEditor1->ZoomSelection();
    } else if (key == QLatin1String("Restore")) {
        cAudioEditor1->ZoomRestore();
    } else if (key == QLatin1String("Save Selection")) {
        SaveSelectionAs();
    }
    // "Abort" has no action of its own here: the Abort button aborts.
}

QString frmAudioEditor::timeLabelText(qint64 ms, qint64 seconds)
{
    return QString::number(ms) + QStringLiteral(" ms [") + mdlFunctions::SecondsToHMS(qint32(seconds))
        + QStringLiteral("]");
}

void frmAudioEditor::cAudioEditor1_FileInfo(qint32 samplesPerSecond, qint32 bitsPerSample, qint32 channels,
                                            qint32 seconds, qint64 samples)
{
    lblInfoBits->setText(QString::number(bitsPerSample));
    lblInfoChannels->setText(QString::number(channels));
    lblInfoSamples->setText(QString::number(samplesPerSecond));
    lblNumOfSamples->setText(QString::number(samples));
    lblLength->setText(mdlFunctions::SecondsToHMS(seconds));
    lblSamplesStart->setText(QStringLiteral("0"));
    lblSamplesEnd->setText(QString::number(samples));
    lblTimeStart->setText(timeLabelText(0, 0));
    lblTimeEnd->setText(timeLabelText(qint64(seconds) * 1000, seconds));
    lblSelectedTime->setText(lblTimeEnd->text());
}

void frmAudioEditor::cAudioEditor1_SelectionChanged(qint64 firstSample, qint64 lastSample, qint64 startMs,
                                                    qint64 endMs)
{
    lblSamplesStart->setText(QString::number(firstSample));
    lblSamplesEnd->setText(QString::number(lastSample));
    lblTimeStart->setText(timeLabelText(startMs, roundedSeconds(startMs)));
    lblTimeEnd->setText(timeLabelText(endMs, roundedSeconds(endMs)));
    lblSelectedTime->setText(timeLabelText(endMs - startMs, roundedSeconds(endMs - startMs)));
}

void frmAudioEditor::cAudioEditor1_Progress(qint32 percent)
{
    prgCurrnet->setValue(percent);
}

void frmAudioEditor::cAudioEditor1_SelectionReady()
{
    toolbarButton(QStringLiteral("Save Selection"))->setEnabled(true);
    cmdAddSelection->setEnabled(true);
}

void frmAudioEditor::cAudioEditor1_OperationDone()
{
    toolbarButton(QStringLiteral("Play"))->setEnabled(true);
    toolbarButton(QStringLiteral("Save Selection"))->setEnabled(true);
    cmdAddSelection->setEnabled(true);
    // A save that ended without SaveDone (aborted or failed) adds nothing.
    m_sPendingAdd.clear();
}

void frmAudioEditor::cAudioEditor1_SaveDone(qint32 code, const QString &path)
{
    Q_UNUSED(code)
    cmdAddSelection->setEnabled(true);
    if (!m_sPendingAdd.isEmpty() && path == m_sPendingAdd) {
        m_sPendingAdd.clear();
        addSavedSelectionToList(path);
    }
}

void frmAudioEditor::cAudioEditor1_PlayDone()
{
    toolbarButton(QStringLiteral("Play"))->setEnabled(true);
}

void frmAudioEditor::cAudioEditor1_Error(qint32 code, const QString &text)
{
    Q_UNUSED(code)
    MsgBox(text, Msg::Information);
}

void frmAudioEditor::cmdAbort_Click()
{
    cAudioEditor1->Abort();
}

void frmAudioEditor::cmdExit_Click()
{
    cAudioEditor1->Abort();
    close();
}

namespace Forms {

frmAudioEditor *audioEditor()
{
    return g_frmAudioEditor;
}

frmAudioEditor &loadAudioEditor(QWidget *owner)
{
    return load(g_frmAudioEditor, owner);
}

} // namespace Forms
