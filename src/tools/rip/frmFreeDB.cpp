#include "tools/rip/frmFreeDB.h"

#include "controls/cd/cFreeDB.h"
#include "controls/ui/OleColor.h"
#include "controls/ui/XP_ProgressBar.h"
#include "core/TitleStrip.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "lists/ItemsListRow.h"
#include "lists/ItemsTreeNodeKey.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 150;

QPointer<frmFreeDB> g_frmFreeDB;

} // namespace

const QString frmFreeDB::kServer = QStringLiteral("gnudb.gnudb.org");
const QString frmFreeDB::kHelloHost = QStringLiteral("localhost");

frmFreeDB::frmFreeDB(QWidget *parent)
    : QDialog(parent)
    , cFreeDB1(new cFreeDB(this))
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("FreeDB"));
    setFixedSize(kWidth, kHeight);

    picTitle = new QWidget(this);
    picTitle->setGeometry(0, 0, kWidth, 40);
    picTitle->setAutoFillBackground(true);
    lblTitle = new QLabel(QStringLiteral("FreeDB"), picTitle);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 3);
    lblTitle->setFont(titleFont);
    lblTitle->setGeometry(20, 8, kWidth - 40, 24);

    lblCurrentTrack = new QLabel(QStringLiteral("Ready."), this);
    lblCurrentTrack->setGeometry(10, 50, kWidth - 20, 18);
    // The two hidden labels hold the disc's artist and album between events.
    lblArtist = new QLabel(QStringLiteral("Album Name"), this);
    lblArtist->setVisible(false);
    lblAlbumName = new QLabel(QStringLiteral("Album Name"), this);
    lblAlbumName->setVisible(false);
    prgCurrnet = new XP_ProgressBar(this);
    prgCurrnet->setGeometry(10, 74, kWidth - 20, 12);
    cmdAbort = new QPushButton(QStringLiteral("Abort"), this);
    cmdAbort->setGeometry(kWidth - 100, 100, 90, 26);
    cmdAbort->setDefault(true);

    connect(cmdAbort, &QPushButton::clicked, this, &frmFreeDB::cmdAbort_Click);
    connect(cFreeDB1, &cFreeDB::Notify, this, &frmFreeDB::cFreeDB1_Notify);
    connect(cFreeDB1, &cFreeDB::Error, this, &frmFreeDB::cFreeDB1_Error);
    connect(cFreeDB1, &cFreeDB::State, this, &frmFreeDB::cFreeDB1_State);
    connect(cFreeDB1, &cFreeDB::DiscArtist, this, &frmFreeDB::cFreeDB1_DiscArtist);
    connect(cFreeDB1, &cFreeDB::DiscTitle, this, &frmFreeDB::cFreeDB1_DiscTitle);
    connect(cFreeDB1, &cFreeDB::TrackInfo, this, &frmFreeDB::cFreeDB1_TrackInfo);
}

frmFreeDB::~frmFreeDB() = default;

void frmFreeDB::Form_Load()
{
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("cd_music"), true);
    TitleStrip::applyColors(picTitle, lblTitle);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, OleColor::toQColor(quint32(back)));
        setPalette(palette);
        setAutoFillBackground(true);
    }
    prgCurrnet->setColor(quint32(g_lTitleBackColor));
    const auto picture = [](const QString &name) {
        return QPixmap(AppPaths::programFolder() + QStringLiteral("/View/") + name);
    };
    const auto paint = [](QWidget *w, const QPixmap &p) {
        if (p.isNull())
            return;
        QPalette palette = w->palette();
        palette.setBrush(QPalette::Window, QBrush(p));
        w->setPalette(palette);
        w->setAutoFillBackground(true);
    };
    if (!g_sViewBackPicture.isEmpty())
        paint(this, picture(g_sViewBackPicture));
    if (!g_sViewTitlePicture.isEmpty())
        paint(picTitle, picture(g_sViewTitlePicture));
}

bool frmFreeDB::GetFreeDB()
{
    lblCurrentTrack->setText(QStringLiteral("Checking connection..."));
    if (!cFreeDB1->IsConnected()) {
        lblCurrentTrack->setText(QStringLiteral("No internet connection!"));
        MsgBox(QStringLiteral("There is no internet connection.\r\n\r\n"
                              "Getting the information about the Audio CD (using the 'FreeDB') has failed."),
               Msg::Information);
        unloadSelf();
        return false;
    }

    MainWindowFace *main = Forms::mainFace();
    m_nodeKey = main ? main->selectedListKey() : QString();
    cFreeDB1->SelectDrive(ItemsTreeNodeKey::GetCDNameNode(m_nodeKey));

    cFreeDB1->QuerySetting(20);
    cFreeDB1->Server(kServer);
    cFreeDB1->Port(8880);
    cFreeDB1->HelloUser(QStringLiteral("clsCDDB"));
    cFreeDB1->HelloHost(kHelloHost);
    cFreeDB1->HelloClient(QStringLiteral("clsCDDB"));
    cFreeDB1->HelloVersion(QStringLiteral("v0.5"));
    lblCurrentTrack->setText(QStringLiteral("Connecting to ") + cFreeDB1->ServerInUse() + QStringLiteral("..."));
    cFreeDB1->Query();
    return true;
}

bool frmFreeDB::lookupListShown() const
{
    const MainWindowFace *main = Forms::mainFace();
    // Once the main window shows another list, its grid holds that list's
    // items: the disc's titles must not land in them.
    return main && !m_nodeKey.isEmpty() && main->selectedListKey() == m_nodeKey;
}

void frmFreeDB::cFreeDB1_TrackInfo(const QString &artist, qint16 track, const QString &title)
{
    MainWindowFace *main = Forms::mainFace();
    // The control reports every track of the disc, the last one last; after
    // it nothing more comes, so the window closes then even when the disc
    // has fewer tracks than the grid has rows.
    const bool lastOfDisc = !cFreeDB1->IsQuerying();
    if (!lookupListShown()) {
        if (lastOfDisc)
            unloadSelf();
        return;
    }
    const int rows = main->listRowCount();
    if (rows == 0)
        return;
    if (track >= 1 && track <= rows) {
        // A track without a title keeps its name rather than becoming ".cda".
        if (!title.trimmed().isEmpty())
            main->setListCell(track, ItemsListRow::ItemName, title + QStringLiteral(".cda"));
        main->setListCell(track, ItemsListRow::TagArtist, artist);
        main->setListCell(track, ItemsListRow::TagAlbum, lblAlbumName->text());
    }
    if (track != rows && !lastOfDisc)
        return;
    main->renameSelectedList(lblArtist->text() + QStringLiteral(" - ") + lblAlbumName->text());
    unloadSelf();
}

void frmFreeDB::cFreeDB1_DiscArtist(const QString &text)
{
    lblArtist->setText(text);
}

void frmFreeDB::cFreeDB1_DiscTitle(const QString &text)
{
    lblAlbumName->setText(text);
}

void frmFreeDB::cFreeDB1_State(const QString &text)
{
    lblCurrentTrack->setText(QStringLiteral("FreeDB State:") + text);
}

void frmFreeDB::cFreeDB1_Notify()
{
    // The dispatcher's modal show returns; the look-up goes on.
    m_bHidden = true;
    hide();
}

void frmFreeDB::cFreeDB1_Error(qint32 code, const QString &text)
{
    const QString line = text + QLatin1Char('(') + QString::number(code) + QLatin1Char(')');
    lblCurrentTrack->setText(line);
    MsgBox(line, Msg::Exclamation);
    // A hidden window has no "Abort" to press: it goes as well.
    if (code == 2 || m_bHidden)
        unloadSelf();
}

void frmFreeDB::cmdAbort_Click()
{
    unloadSelf();
}

void frmFreeDB::unloadSelf()
{
    close();
}

void frmFreeDB::Form_Unload(int &cancel)
{
    cancel = 0;
    cFreeDB1->StopQuery();
    cFreeDB1->Disconnect();
    if (g_frmFreeDB == this)
        g_frmFreeDB = nullptr;
}

void frmFreeDB::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Form_Unload(cancel);
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void frmFreeDB::reject()
{
    close();
}

namespace Forms {

frmFreeDB *freeDB()
{
    return g_frmFreeDB;
}

frmFreeDB &loadFreeDB(QWidget *owner)
{
    return load(g_frmFreeDB, owner);
}

} // namespace Forms
