#pragma once

#include "support/ListLoads.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cToolbar.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "mainwindow/frmMain.h"
#include "platform/AppPaths.h"
#include "settings/OptionSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>

// The main window loaded over an empty lists folder, with every command that
// the shell routes to the dispatcher recorded by its key instead of run.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_bDisplayTitle = true;
        g_bDisplayPlayer = true;
        g_bDisplayAudioGraph = true;
        g_lAudioDeviceIndex = -1;
        QDir().mkpath(AppPaths::programFolder() + QStringLiteral("/Main"));
    }

    void TearDown() override
    {
        if (frmMain *main = Forms::main()) {
            g_bDisplayMSGWhenExit = false;
            Forms::unload(main);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Loads the window; commandLine stands for the program's arguments.
    frmMain &load(const QString &commandLine = QString())
    {
        const auto hook = QObject::connect(&Forms::events(), &FormEvents::Loaded, [this, commandLine](QWidget *form) {
            if (auto *main = qobject_cast<frmMain *>(form)) {
                main->m_sCommandLine = commandLine;
                main->commandHook = [this, main](qint32 index) {
                    routed << main->menu().ItemKey(index);
                    return true;
                };
            }
        });
        frmMain &main = Forms::loadMain();
        QObject::disconnect(hook);
        routedInsideLoad = routed;
        EXPECT_TRUE(ListLoads::settle(main));
        return main;
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

    static QString listFile(const QString &name)
    {
        return AppPaths::programFolder() + QStringLiteral("/Main/") + name + QStringLiteral(".flst");
    }

    // A list file of marked whole-file items, one per path.
    static void writeList(const QString &name, const QStringList &files)
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

    // Keys the shell handed to the dispatcher; an empty key stands for 0.
    QStringList routed;
    // Those handed over before the window's load had returned.
    QStringList routedInsideLoad;
};
