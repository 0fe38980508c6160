#pragma once

#include "support/AudioFixtures.h"
#include "support/ListLoads.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cToolbar.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "controls/ui/cTreeView.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlOnTop.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRow.h"
#include "lists/frmStat.h"
#include "mainwindow/frmMain.h"
#include "platform/AppPaths.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The main window over a lists folder that the test fills: list files and
// audio files to put in it, the window loaded (with a command line), its
// commands run by key, and the modal windows they open answered.
//
// The suites that test the window's shell use MainWindowShellTest: every
// pane is then shown, and the commands that toolbars,
// panels, the CD watch and the command line ask for are recorded in routed
// instead of run.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = AppPaths::programFolder() + QStringLiteral("/Main/");
        QDir().mkpath(folder);
        if (recordRequests) {
            g_bDisplayTitle = true;
            g_bDisplayPlayer = true;
            g_bDisplayAudioGraph = true;
            g_lAudioDeviceIndex = -1;
        }
    }

    void TearDown() override
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isModal() && w->isVisible())
                w->hide();
        }
        mdlOnTop::SetFormOnTop(nullptr, false);
        if (frmMain *main = Forms::main()) {
            g_bDisplayMSGWhenExit = false;
            Forms::unload(main);
        }
        g_bAppClosing = true;
        Forms::unload(Forms::options());
        Forms::unload(Forms::audioProp());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_bAppClosing = false;
    }

    // --- Loading ---------------------------------------------------------------

    // Loads the window with its first list in; commandLine stands for the
    // program's arguments.
    frmMain &load(const QString &commandLine = QString())
    {
        const auto hook = QObject::connect(&Forms::events(), &FormEvents::Loaded, [this, commandLine](QWidget *form) {
            if (auto *main = qobject_cast<frmMain *>(form)) {
                main->m_sCommandLine = commandLine;
                if (recordRequests)
                    recordRequested(*main);
            }
        });
        frmMain &main = Forms::loadMain();
        QObject::disconnect(hook);
        routedInsideLoad = routed;
        EXPECT_TRUE(ListLoads::settle(main));
        return main;
    }

    static frmMain &loadMain()
    {
        frmMain &main = Forms::loadMain();
        EXPECT_TRUE(ListLoads::settle(main));
        return main;
    }

    // "Songs" (one, two, three; only "one" marked) and "Other" (else), with
    // Songs shown and its first row selected.
    frmMain &loadSongs()
    {
        a = wav(QStringLiteral("a.wav"), 1000);
        b = wav(QStringLiteral("b.wav"), 2000);
        c = wav(QStringLiteral("c.wav"), 3000);
        writeList(QStringLiteral("Songs.flst"),
                  rec(QStringLiteral("1"), QStringLiteral("one"), a) + rec(QStringLiteral("0"), QStringLiteral("two"), b)
                      + rec(QStringLiteral("0"), QStringLiteral("three"), c));
        writeList(QStringLiteral("Other.flst"), rec(QStringLiteral("1"), QStringLiteral("else"), a));
        frmMain &main = loadMain();
        EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Songs"))));
        EXPECT_EQ(main.cGrid1->Rows(), 3);
        main.cGrid1->setSelectedRow(1);
        return main;
    }

    // --- Commands ----------------------------------------------------------------

    // Commands the shell asks for are recorded by key instead of run.
    void recordRequested(frmMain &main)
    {
        EXPECT_TRUE(QObject::disconnect(&main, &frmMain::CommandRequested, &main, &frmMain::runRequestedCommand));
        QObject::connect(&main, &frmMain::CommandRequested, &main, [this](const QString &key) { routed << key; });
    }

    // Runs the command of key as a menu item, a toolbar button or a status
    // panel does.
    static frmMain::CommandRun run(frmMain &main, const QString &key) { return main.runCommand(key); }

    // The menu item carrying key, added when the menus do not carry it.
    static qint32 indexOf(frmMain &main, const QString &key)
    {
        qint32 index = main.menu().IndexForKey(key);
        if (index == 0)
            index = main.menu().AddItem(key, QString(), QVariant(), 0, -1, false, true, key);
        return index;
    }

    // Runs the event loop until an add of files has ended (one asked for
    // while the list loads starts once the list is in).
    static bool addEnded()
    {
        return waitUntil(
            [] {
                const frmMain *main = Forms::main();
                return g_frmStat == nullptr && (!main || !main->isLoadingList());
            },
            60000);
    }

    // Adds paths to the selected list as the program does and runs the event
    // loop until the add has ended; answers the rows added, or -1 when the
    // add did not start or did not end.
    static int addAndWait(frmMain &main, const QStringList &paths)
    {
        auto added = std::make_shared<int>(-1);
        QEventLoop loop;
        const QPointer<QEventLoop> running = &loop;
        if (!AddFiles::addToSelectedList(main, paths, [added, running](int n) {
                *added = n;
                if (running)
                    running->quit();
            }))
            return -1;
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        if (*added < 0)
            loop.exec();
        return *added;
    }

    // Whether the dispatcher refreshed the item information: it is emptied
    // first, and a refresh refills it from the selected row.
    static void clearInfo(frmMain &main) { main.cGridInfo->Clear(); }
    static bool infoRefreshed(frmMain &main) { return main.cGridInfo->Rows() > 0; }

    static QStringList messages() { return testServices().prompter->messageTexts(); }

    // --- Files -------------------------------------------------------------------

    // A short mono WAV in the work folder.
    static QString wav(const QString &name, int ms = 1000)
    {
        const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
        Fixture::writeWav(path, Fixture::WavSpec{8000, 1, 16}, qint64(ms) * 8);
        return path;
    }

    // A record as the list file stores it.
    static QString rec(const QString &inc, const QString &name, const QString &file,
                       const QString &all = QStringLiteral("1"), const QString &start = QString(),
                       const QString &length = QString())
    {
        ItemsListFile::Record r;
        r[ItemsListFile::FieldInc] = inc;
        r[ItemsListFile::FieldType] = QStringLiteral("Audio");
        r[ItemsListFile::FieldItemName] = name;
        r[ItemsListFile::FieldFile] = file;
        r[ItemsListFile::FieldRangeAll] = all;
        r[ItemsListFile::FieldRangeStart] = start;
        r[ItemsListFile::FieldRangeLength] = length;
        return ItemsListFile::recordText(r);
    }

    // The list file name (with its extension) holding records.
    void writeList(const QString &name, const QString &records)
    {
        QFile f(folder + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((records + QStringLiteral("\r\n")).toUtf8());
    }

    static QString listFile(const QString &name)
    {
        return AppPaths::programFolder() + QStringLiteral("/Main/") + name + QStringLiteral(".flst");
    }

    // The list of that name of marked whole-file items, one per path.
    static void writeFilesList(const QString &name, const QStringList &files)
    {
        QFile f(listFile(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QString text;
        for (const QString &path : files) {
            text += QStringLiteral("<ITEM><Inc>1</Inc><Type>3</Type><Item Name>") + QFileInfo(path).fileName()
                + QStringLiteral("</Item Name><COL_FILE>") + path
                + QStringLiteral("</COL_FILE><COL_RANGE_ALL>1</COL_RANGE_ALL><COL_RANGE_START_TIME>"
                                 "</COL_RANGE_START_TIME><COL_RANGE_LENGTH_TIME></COL_RANGE_LENGTH_TIME>"
                                 "<COL_TAG_ALBUM></COL_TAG_ALBUM><COL_TAG_ARTIST></COL_TAG_ARTIST>"
                                 "<COL_TAG_COMMENT></COL_TAG_COMMENT><COL_TAG_GEN></COL_TAG_GEN>"
                                 "<COL_TAG_YEAR></COL_TAG_YEAR><COL_TAG_TITLE></COL_TAG_TITLE>"
                                 "<COL_TAG_TRACK></COL_TAG_TRACK></ITEM>");
        }
        f.write(text.toUtf8() + "\r\n");
    }

    // A list file once every save asked for has been written.
    QByteArray listBytes(const QString &name) const
    {
        if (frmMain *main = Forms::main()) {
            EXPECT_TRUE(ListLoads::settle(*main));
        }
        QFile f(folder + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // What the list file would hold for the grid as it stands.
    static QByteArray gridAsFile(frmMain &main)
    {
        return ItemsListFile::fileText(ItemsGrid::records(*main.cGrid1)).toUtf8();
    }

    // --- Reading the window ------------------------------------------------------

    static cTreeNode *listNode(const QString &text)
    {
        cTreeNodes lists = g_oItemsListsRoot->Child();
        for (int i = 1; i <= lists.Count(); ++i) {
            if (lists.Item(i)->Text() == text)
                return lists.Item(i);
        }
        return nullptr;
    }

    static QString cell(frmMain &main, int row, int column)
    {
        return main.cGrid1->CellText(row, main.cGrid1->ColumnIndex(ItemsListRow::key(column)));
    }
    static int icon(frmMain &main, int row, int column)
    {
        return main.cGrid1->CellIcon(row, main.cGrid1->ColumnIndex(ItemsListRow::key(column)));
    }

    static QStringList names(frmMain &main)
    {
        QStringList out;
        for (int i = 1; i <= main.cGrid1->Rows(); ++i)
            out << cell(main, i, ItemsListRow::ItemName);
        return out;
    }

    // The buttons of a toolbar as keys, a separator written "-".
    static QStringList keys(const cToolbar &toolbar)
    {
        QStringList list;
        for (int i = 1; i <= toolbar.ButtonCount(); ++i)
            list << (toolbar.ButtonStyle(i) == cToolbar::Separator ? QStringLiteral("-") : toolbar.ButtonKey(i));
        return list;
    }

    // The captions of a holder's submenu, in order.
    static QStringList captions(const cContextMenu &menu, const QString &holderKey)
    {
        const qint32 holder = menu.IndexForKey(holderKey);
        QStringList list;
        for (qint32 i = 1; i <= menu.Count(); ++i) {
            if (holder > 0 && menu.ItemParent(i) == holder)
                list << menu.ItemCaption(i);
        }
        return list;
    }

public:
    // Handles the next modal window once it is on screen: inspect sees it
    // (and may press its buttons); it is then closed unless inspect did.
    static void onNextModal(std::function<void(QWidget *)> inspect)
    {
        auto *timer = new QTimer;
        timer->setInterval(20);
        auto ticks = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, inspect, ticks] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible()) {
                if (++*ticks > 500)
                    timer->deleteLater(); // nothing came; stop watching
                return;
            }
            timer->stop();
            timer->deleteLater();
            const QPointer<QWidget> guard(modal);
            inspect(modal);
            if (guard && guard->isVisible())
                guard->close();
        });
        timer->start();
    }

protected:
    // Set by MainWindowShellTest before SetUp (see above).
    bool recordRequests = false;
    QString folder;
    QString a, b, c;
    // Keys the shell asked for, and those asked for before the load returned.
    QStringList routed;
    QStringList routedInsideLoad;
};

// The fixture of the suites that test the window's shell.
class MainWindowShellTest : public MainWindowTest {
protected:
    MainWindowShellTest() { recordRequests = true; }
};
