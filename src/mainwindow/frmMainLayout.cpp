// The main window's panes, its skin and its layout: every pane is placed by
// Form_Resize from the window's size, the bars' heights and the view
// options, in twips, as the window's design keeps them.
#include "mainwindow/frmMain.h"

#include "controls/audio/cAudioGraph.h"
#include "controls/ui/OleColor.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cImageList.h"
#include "controls/ui/cReBar.h"
#include "controls/ui/cSlider.h"
#include "controls/ui/cStatusBar.h"
#include "controls/ui/cToolbar.h"
#include "controls/ui/cToolbarHost.h"
#include "controls/ui/cTreeView.h"
#include "core/mdlModes.h"
#include "platform/AppPaths.h"
#include "settings/OptionSettings.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>

namespace {

const char *const kTwips = "sonvaleTwips";
// Below the player (or the list's bar) down to the status bar.
constexpr int kBottomMargin = 60;
// The splitter bar's width as designed; the grid starts that far right of the tree, less 40.
constexpr int kSplitterWidth = 100;
constexpr int kPlayerBarWidth = 6975;

// A control's place in twips: what was last set, so that values that are not
// whole pixels survive a pass through the screen.
QRect twips(const QWidget *w)
{
    const QVariant stored = w->property(kTwips);
    if (stored.isValid())
        return stored.toRect();
    const QRect g = w->geometry();
    return QRect(Twips::fromPixels(g.x()), Twips::fromPixels(g.y()), Twips::fromPixels(g.width()),
                 Twips::fromPixels(g.height()));
}

// A size below zero is refused, as a control refuses it; the rest applies.
void place(QWidget *w, int left, int top, int width, int height)
{
    const QRect was = twips(w);
    if (width < 0)
        width = was.width();
    if (height < 0)
        height = was.height();
    w->setProperty(kTwips, QRect(left, top, width, height));
    w->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
}

int L(const QWidget *w) { return twips(w).x(); }
int T(const QWidget *w) { return twips(w).y(); }
int W(const QWidget *w) { return twips(w).width(); }
int H(const QWidget *w) { return twips(w).height(); }
void setL(QWidget *w, int v) { place(w, v, T(w), W(w), H(w)); }
void setT(QWidget *w, int v) { place(w, L(w), v, W(w), H(w)); }
void setW(QWidget *w, int v) { place(w, L(w), T(w), v, H(w)); }
void setH(QWidget *w, int v) { place(w, L(w), T(w), W(w), v); }

void setBack(QWidget *w, quint32 colour)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, OleColor::toQColor(colour, pal));
    w->setPalette(pal);
}

QWidget *strip(QWidget *parent, const char *name)
{
    auto *w = new QWidget(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

// The column title strips: the desktop's title colour with white text.
void titleColours(QWidget *strip, QLabel *label)
{
    setBack(strip, 0x8000000Cu);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
}

// The splitter bar: dragged and dropped on a pane, which sets the tree's
// width through one of the two drop handlers.
class SplitterDrag : public QObject {
public:
    SplitterDrag(frmMain *main, QWidget *bar)
        : QObject(bar)
        , m_main(main)
    {
        bar->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *bar = static_cast<QWidget *>(watched);
        switch (event->type()) {
        case QEvent::MouseMove:
            bar->setCursor(Qt::SizeHorCursor);
            return false;
        case QEvent::MouseButtonPress:
            m_dragging = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
            return m_dragging;
        case QEvent::MouseButtonRelease:
            if (m_dragging) {
                m_dragging = false;
                drop(bar, static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    void drop(QWidget *bar, const QPoint &global)
    {
        QWidget *target = QApplication::widgetAt(global);
        const QList<QWidget *> treeSide = {m_main->cTreeView1, m_main->picTitleProject, m_main->lblProjects,
                                           m_main->tlbrProjectsHost};
        const QList<QWidget *> gridSide = {m_main->cGrid1, m_main->picList, m_main->picTitleList,
                                           m_main->lblListName, m_main->froControl, m_main->cSlider1,
                                           m_main->cToolbarHostRecorder};
        // The innermost listed control under the pointer takes the drop.
        for (QWidget *w = target; w; w = w->parentWidget()) {
            if (treeSide.contains(w)) {
                m_main->cTreeView1_DragDrop(bar, Twips::fromPixels(w->mapFromGlobal(global).x()), 0);
                return;
            }
            if (gridSide.contains(w)) {
                m_main->cGrid1_DragDrop(bar, Twips::fromPixels(w->mapFromGlobal(global).x()), 0);
                return;
            }
            if (w == m_main)
                return;
        }
    }

    frmMain *m_main;
    bool m_dragging = false;
};

// The client area changes size also when a bar around it shows, hides or
// finds its height, not only with the window; the panes follow it.
class ClientResize : public QObject {
public:
    ClientResize(frmMain *main, QWidget *client)
        : QObject(client)
        , m_main(main)
    {
        client->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            m_main->Form_Resize();
        return false;
    }

private:
    frmMain *m_main;
};

} // namespace

void frmMain::buildShellPanes()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    new ClientResize(this, client);
    cStatusBar1 = new cStatusBar(this);
    setStatusBar(cStatusBar1);
    cStatusBar1->setFixedHeight(Twips::toPixels(375));
    // The window has no minimum size; the panels are cut off instead.
    cStatusBar1->setMinimumWidth(1);
    cStatusBar1->addWidget(prgStatus);

    imgGeneral = new cImageList(this);
    fillCommandImages();
    picToolBarJPGPicHolder = new QLabel(this);
    picToolBarJPGPicHolder->hide();

    picTitle = strip(client, "picTitle");
    picTitle->setAutoFillBackground(true);
    setBack(picTitle, 0x8000000Du);
    lblTitle = new QLabel(picTitle);
    place(picTitle, 100, 40, 12000, 375);
    place(lblTitle, 120, 60, 1515, 240);
    lblTitle->setMinimumWidth(Twips::toPixels(1515));
    lblTitle->resize(Twips::toPixels(6000), Twips::toPixels(240));

    cToolbarHost1 = new cToolbarHost(client);
    place(cToolbarHost1, 120, 455, 12000, 740);

    // The column title strips are one line of the desktop's font high, at
    // least as high as designed, their text a pixel below the top.
    const int textHeight = lblListName->fontMetrics().height();
    const int stripHeight = std::max(255, Twips::fromPixels(textHeight + 2));
    picTitleProject = strip(client, "picTitleProject");
    lblProjects = new QLabel(QStringLiteral("Items Lists"), picTitleProject);
    place(picTitleProject, 120, 1195, 2535, stripHeight);
    lblProjects->setGeometry(Twips::toPixels(120), 1, lblProjects->sizeHint().width(), textHeight);
    titleColours(picTitleProject, lblProjects);

    cTreeView1->setParent(client);
    place(cTreeView1, 120, 1470, 2535, 3000);
    froTreeControl = strip(client, "froTreeControl");
    place(froTreeControl, 120, 4430, 2535, 500);
    tlbrProjectsHost = new cToolbarHost(froTreeControl);
    place(tlbrProjectsHost, 60, 120, 2295, 315);

    picResizer = strip(client, "picResizer");
    place(picResizer, 2675, 1200, kSplitterWidth, 20000);
    new SplitterDrag(this, picResizer);

    picTitleList = strip(client, "picTitleList");
    place(picTitleList, 2735, 1195, 9000, stripHeight);
    lblListName->setParent(picTitleList);
    place(lblListName, 120, 15, 3840, Twips::fromPixels(textHeight));
    lblListName->move(lblListName->x(), 1);
    titleColours(picTitleList, lblListName);

    cGrid1->setParent(client);
    place(cGrid1, 2735, 1470, 5500, 3000);
    cGridInfo->setParent(client);
    place(cGridInfo, 8235, 1470, 3495, 3000);

    picList = strip(client, "picList");
    place(picList, 2735, 4470, 9000, 400);
    rbrList = new cReBar;

    froControl = strip(client, "froControl");
    place(froControl, 2735, 4870, 9000, 1815);
    cSlider1 = new cSlider(froControl);
    place(cSlider1, 100, 240, 8800, 390);
    picPlayTime = strip(froControl, "picPlayTime");
    // The times stand under the slider, one line of text high; the player's
    // buttons and the graphs under them.
    const int timesHeight = std::max(255, Twips::fromPixels(textHeight + 2));
    place(picPlayTime, 7000, 630, 1815, timesHeight);
    const int playerBarsTop = std::max(840, 630 + timesHeight);
    lblCurrentPositionSec = new QLabel(QStringLiteral("0:00:00"), picPlayTime);
    lbTotalLengthSec = new QLabel(QStringLiteral("0:00:00"), picPlayTime);
    auto *times = new QHBoxLayout(picPlayTime);
    times->setContentsMargins(0, 0, 0, 0);
    times->addWidget(lblCurrentPositionSec);
    times->addWidget(new QLabel(QStringLiteral("/"), picPlayTime));
    times->addWidget(lbTotalLengthSec);
    cToolbarHostRecorder = new cToolbarHost(froControl);
    place(cToolbarHostRecorder, 240, playerBarsTop, kPlayerBarWidth, 820);
    cAudioGraphAmp = new cAudioGraph(cAudioGraph::Amplitude, froControl);
    cAudioGraphFreq = new cAudioGraph(cAudioGraph::Frequency, froControl);
    place(cAudioGraphAmp, 7335, playerBarsTop, 2295, 840);
    place(cAudioGraphFreq, 9670, playerBarsTop, 2295, 840);

    tlbrRecorder = new cToolbar;
    tlbrTop = new cToolbar;
    tlbrProjects = new cToolbar;
    tlbrList = new cToolbar;

    picEmptyMsg->raise();
}

void frmMain::SetAppView()
{
    if (!g_sViewBackColor.isEmpty()) {
        const quint32 colour = quint32(g_sViewBackColor.toLongLong());
        setBack(this, colour);
        setBack(centralWidget(), colour);
        cSlider1->setBackColor(colour);
        setBack(froControl, colour);
        cToolbarHostRecorder->setBackColor(colour);
        cToolbarHost1->setBackColor(colour);
        tlbrProjectsHost->setBackColor(colour);
        setBack(picResizer, colour);
        setBack(froTreeControl, colour);
        cStatusBar1->setBackColor(colour);
        setBack(picPlayTime, colour);
        cGridInfo->setBackColor(colour);
    }
    const QString view = AppPaths::programFolder() + QStringLiteral("/View/");
    if (!g_sViewBackPicture.isEmpty()) {
        const QPixmap back(view + g_sViewBackPicture);
        for (QWidget *w : {static_cast<QWidget *>(centralWidget()), picResizer}) {
            QPalette pal = w->palette();
            pal.setBrush(QPalette::Window, QBrush(back));
            w->setPalette(pal);
            w->setAutoFillBackground(true);
        }
        picToolBarJPGPicHolder->setPixmap(QPixmap(view + g_sViewToolbarPicture));
        cGridInfo->setBackgroundPicture(picToolBarJPGPicHolder->pixmap());
    }
    if (!g_sViewTitlePicture.isEmpty()) {
        QPalette pal = picTitle->palette();
        pal.setBrush(QPalette::Window, QBrush(QPixmap(view + g_sViewTitlePicture)));
        picTitle->setPalette(pal);
    }
    if (!g_sViewToolbarPicture.isEmpty())
        picToolBarJPGPicHolder->setPixmap(QPixmap(view + g_sViewToolbarPicture));
}

void frmMain::Form_Resize()
{
    if (isMinimized() || !cTreeView1 || !froControl)
        return;
    QWidget *host = cToolbarHost1;
    QWidget *tree = cTreeView1;
    QWidget *grid = cGrid1;
    QWidget *info = cGridInfo;
    QWidget *player = froControl;
    QWidget *splitter = picResizer;
    // The panes share the client area, the same size the window stores at
    // its close and gets back at the next start; the bars around it and the
    // desktop's frame are not the panes' to fill.
    if (layout())
        layout()->activate();
    const QSize client = centralWidget()->size();
    const int clientWidth = Twips::fromPixels(client.width());
    const int clientHeight = Twips::fromPixels(client.height());

    if (!tree->isHidden() && g_lAppIncTree == 0) {
        setW(tree, 0);
        setW(splitter, 0);
        tree->hide();
        splitter->hide();
    }
    if (tree->isHidden() && g_lAppIncTree == 1) {
        setW(tree, 2535);
        setW(splitter, kSplitterWidth);
        tree->show();
        splitter->show();
    }
    // The player's bar is as wide as its buttons need, at least as designed,
    // so none of them is pushed into the overflow.
    if (tlbrRecorder)
        setW(cToolbarHostRecorder,
             std::max(kPlayerBarWidth, Twips::fromPixels(cToolbarHostRecorder->sizeHint().width())));
    for (cAudioGraph *graph : {cAudioGraphAmp, cAudioGraphFreq}) {
        const bool room = L(cToolbarHostRecorder) + W(cToolbarHostRecorder) <= L(graph);
        graph->setVisible(g_bDisplayAudioGraph && room);
    }
    m_cMenu->setXPStyle(g_bMenuXPStyle);
    if (g_bDisplayTitle) {
        setH(picTitle, 375);
        picTitle->show();
    } else {
        setH(picTitle, 0);
        picTitle->hide();
    }
    if (g_bDisplayPlayer) {
        setH(player, 1815);
        player->show();
    } else {
        setH(player, 0);
        player->hide();
    }
    setT(host, T(picTitle) + H(picTitle) + 40);
    setT(picTitleProject, T(host) + H(host));
    setT(picTitleList, T(host) + H(host));
    setT(grid, T(host) + H(host) + H(picTitleList) + 20);
    setT(tree, T(grid));
    setH(grid, std::max(0, clientHeight - T(grid) - H(picList) - H(player) - kBottomMargin));
    // The tree's own toolbar stands under it, ending level with the player.
    setH(tree, H(grid) + H(player) - 100);
    setT(picList, T(grid) + H(grid));
    setT(froTreeControl, T(tree) + H(tree));
    setW(froTreeControl, W(tree));
    setT(player, T(picList) + H(picList));
    setL(picTitle, 100);
    setW(picTitle, clientWidth - 2 * L(picTitle));
    setW(host, W(picTitle));
    setL(tree, L(picTitle) + 20);
    setL(grid, L(tree) + W(tree) + (tree->isHidden() ? 0 : kSplitterWidth) - 40);
    // The bar fills the gap between the tree and the grid, never lying on either.
    setL(splitter, L(tree) + W(tree));
    if (!splitter->isHidden())
        setW(splitter, L(grid) - L(splitter));
    setW(picTitleProject, W(tree));
    setL(picTitleList, L(grid));
    setL(picList, L(grid));
    setL(player, L(grid));
    setT(info, T(grid));
    setH(info, H(grid));
    setW(grid, W(host) - W(tree) - W(info) - 100);
    setL(info, L(grid) + W(grid));
    setW(picList, W(info) + W(grid));
    setW(player, W(info) + W(grid));
    setW(picTitleList, W(info) + W(grid));
    setL(cSlider1, 100);
    setW(cSlider1, W(player) - L(cSlider1) - 100);
    setL(picPlayTime, W(cSlider1) - W(picPlayTime));
    setL(cAudioGraphFreq, W(cSlider1) - W(cAudioGraphFreq));
    setL(cAudioGraphAmp, L(cAudioGraphFreq) - W(cAudioGraphAmp) - 40);
    setT(cAudioGraphFreq, T(cToolbarHostRecorder));
    setT(cAudioGraphAmp, T(cToolbarHostRecorder));
    // The empty-list panel sits inside the grid and keeps itself centred there.
}

void frmMain::cTreeView1_DragDrop(QObject *Source, int X, int Y)
{
    Q_UNUSED(Source);
    Q_UNUSED(Y);
    if (X >= 1000)
        setW(cTreeView1, L(cTreeView1) + X - 120);
    else
        setW(cTreeView1, 1000);
    Form_Resize();
}

void frmMain::cGrid1_DragDrop(QObject *Source, int X, int Y)
{
    Q_UNUSED(Source);
    Q_UNUSED(Y);
    setW(cTreeView1, L(cTreeView1) + X + W(cTreeView1) - 60);
    Form_Resize();
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Restored from the task bar, the window is laid out again.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        Form_Resize();
}
