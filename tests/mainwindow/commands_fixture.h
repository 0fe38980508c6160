#pragma once

#include "support/AudioFixtures.h"
#include "support/ListLoads.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
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
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The main window over a lists folder that the test fills, with a way to run
// a command by its key and to answer the modal windows that commands open.
class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = AppPaths::programFolder() + QStringLiteral("/Main/");
        QDir().mkpath(folder);
    }

    void TearDown() override
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isModal() && w->isVisible())
                w->hide();
        }
        mdlOnTop::SetFormOnTop(nullptr, false);
        if (frmMain *main = Forms::main())
            Forms::unload(main);
        g_bAppClosing = true;
        Forms::unload(Forms::options());
        Forms::unload(Forms::audioProp());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_bAppClosing = false;
    }

    // A short mono WAV of silence in the work folder.
    static QString wav(const QString &name, int ms = 1000)
    {
        const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
        Fixture::writeWav(path, Fixture::WavSpec{8000, 1, 16}, qint64(ms) * 8);
        return path;
    }

    static QString rec(const QString &inc, const QString &name, const QString &file)
    {
        ItemsListFile::Record r;
        r[ItemsListFile::FieldInc] = inc;
        r[ItemsListFile::FieldType] = QStringLiteral("Audio");
        r[ItemsListFile::FieldItemName] = name;
        r[ItemsListFile::FieldFile] = file;
        r[ItemsListFile::FieldRangeAll] = QStringLiteral("1");
        return ItemsListFile::recordText(r);
    }

    void writeList(const QString &name, const QString &records)
    {
        QFile f(folder + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((records + QStringLiteral("\r\n")).toUtf8());
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

    static QByteArray gridAsFile(frmMain &main)
    {
        return ItemsListFile::fileText(ItemsGrid::records(*main.cGrid1)).toUtf8();
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

    // The main window with the items that commands run for one another.
    static frmMain &loadMain()
    {
        frmMain &main = Forms::loadMain();
        for (const char *key : {"Add Files", "Items List Properties"})
            indexOf(main, QString::fromLatin1(key));
        EXPECT_TRUE(ListLoads::settle(main));
        return main;
    }

    static cTreeNode *listNode(const QString &text)
    {
        cTreeNodes lists = g_oItemsListsRoot->Child();
        for (int i = 1; i <= lists.Count(); ++i) {
            if (lists.Item(i)->Text() == text)
                return lists.Item(i);
        }
        return nullptr;
    }

    // Runs the command of key through the dispatcher, as a menu item, a
    // toolbar button or a status panel does.
    static void run(frmMain &main, const QString &key)
    {
        main.m_cMenu_Click(indexOf(main, key));
    }

    // The menu item carrying key, added when the menus do not carry it.
    // Runs the event loop until an add of files has ended.
    static bool addEnded() { return waitUntil([] { return g_frmStat == nullptr; }, 60000); }

    static qint32 indexOf(frmMain &main, const QString &key)
    {
        qint32 index = main.menu().IndexForKey(key);
        if (index == 0)
            index = main.menu().AddItem(key, QString(), QVariant(), 0, -1, false, true, key);
        return index;
    }

    static QString cell(frmMain &main, int row, int column)
    {
        return main.cGrid1->CellText(row, main.cGrid1->ColumnIndex(ItemsListRow::key(column)));
    }

    static QStringList names(frmMain &main)
    {
        QStringList out;
        for (int i = 1; i <= main.cGrid1->Rows(); ++i)
            out << cell(main, i, ItemsListRow::ItemName);
        return out;
    }

    // Whether the dispatcher refreshed the item information: it is emptied
    // first, and a refresh refills it from the selected row.
    static void clearInfo(frmMain &main) { main.cGridInfo->Clear(); }
    static bool infoRefreshed(frmMain &main) { return main.cGridInfo->Rows() > 0; }

    static QStringList messages() { return testServices().prompter->messageTexts(); }

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
    QString folder;
    QString a, b, c;
};
