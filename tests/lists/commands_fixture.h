#pragma once

#include "ListFixtures.h"
#include "support/ListLoads.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "controls/ui/cTreeView.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRow.h"
#include "lists/frmStat.h"
#include "mainwindow/frmMain.h"
#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

// The main window over a lists folder that the test fills, with helpers to
// write lists and audio files and to read rows back.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = AppPaths::programFolder() + QStringLiteral("/Main/");
        QDir().mkpath(folder);
    }

    void TearDown() override
    {
        if (frmMain *main = Forms::main())
            Forms::unload(main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The main window with its first list in the grid.
    frmMain &load()
    {
        frmMain &main = Forms::loadMain();
        EXPECT_TRUE(ListLoads::settle(main));
        return main;
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

    // Runs the event loop until an add started by a command has ended (one
    // asked for while the list loads starts once the list is in).
    static bool addEnded()
    {
        return waitUntil(
            [] {
                const frmMain *main = Forms::main();
                return g_frmStat == nullptr && (!main || !main->isLoadingList());
            },
            60000);
    }

    // A mono 16-bit WAV of silence in the work folder.
    QString wav(const QString &name, int ms, int rate = 2000, int channels = 1)
    {
        const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
        ListFixtures::writeWav(path, ms, rate, channels);
        return path;
    }

    // The same with an INFO list naming title, artist and album, which the
    // converter reports as the file's tags.
    QString taggedWav(const QString &name, int ms, const QString &title, const QString &artist,
                      const QString &album)
    {
        const QString path = wav(name, ms);
        QByteArray info("INFO");
        const auto add = [&info](const char *id, const QString &value) {
            QByteArray text = value.toUtf8() + '\0';
            if (text.size() % 2)
                text += '\0';
            info += QByteArray(id, 4) + le32(quint32(text.size())) + text;
        };
        add("INAM", title);
        add("IART", artist);
        add("IPRD", album);
        QByteArray bytes = ListFixtures::readBytes(path) + "LIST" + le32(quint32(info.size())) + info;
        bytes.replace(4, 4, le32(quint32(bytes.size() - 8)));
        ListFixtures::writeBytes(path, bytes);
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

    void writeList(const QString &name, const QString &records)
    {
        ListFixtures::writeBytes(folder + name, (records + QStringLiteral("\r\n")).toUtf8());
    }

    // A list file once every save asked for has been written.
    QByteArray listBytes(const QString &name) const
    {
        if (frmMain *main = Forms::main()) {
            EXPECT_TRUE(ListLoads::settle(*main));
        }
        return ListFixtures::readBytes(folder + name);
    }

    // What the list file would hold for the grid as it stands.
    static QByteArray gridAsFile(frmMain &main)
    {
        return ItemsListFile::fileText(ItemsGrid::records(*main.cGrid1)).toUtf8();
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

    static QString cell(frmMain &main, int row, int column)
    {
        return main.cGrid1->CellText(row, main.cGrid1->ColumnIndex(ItemsListRow::key(column)));
    }
    static int icon(frmMain &main, int row, int column)
    {
        return main.cGrid1->CellIcon(row, main.cGrid1->ColumnIndex(ItemsListRow::key(column)));
    }

    static QStringList messages() { return testServices().prompter->messageTexts(); }

    QString folder;

private:
    static QByteArray le32(quint32 v)
    {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = char((v >> (8 * i)) & 0xFF);
        return b;
    }
};
