#pragma once

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
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>

// The main window loaded over an empty lists folder, with every command that
// the shell routes to the dispatcher recorded by its key instead of run.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mdlModes::InitEdition();
        g_bDisplayTitle = true;
        g_bDisplayPlayer = true;
        g_bDisplayAudioGraph = true;
        g_bDisplayMSGWhenExit = false;
        g_bClearOnExit = false;
        g_bGoToNextItem = false;
        g_bAutoFreeDB = false;
        g_bSelectTheLastItem = false;
        g_sItemsListMainDirectory.clear();
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
        g_bAppClosing = false;
        mdlModes::InitEdition();
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

    // Keys the shell handed to the dispatcher; an empty key stands for 0.
    QStringList routed;
};
