#pragma once

#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "mainwindow/frmMain.h"
#include "platform/Registry.h"
#include "settings/frmOptions.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmProgParameters.h"

#include <QCoreApplication>
#include <QMap>
#include <gtest/gtest.h>

// Each test starts with no window loaded, and ends by closing whatever it
// loaded as the program's exit does.
class OptionsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        g_bAppClosing = true;
        if (frmMain *main = Forms::main())
            Forms::unload(main);
        Forms::unload(Forms::options());
        Forms::unload(Forms::audioProp());
        Forms::unload(Forms::progParameters());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_bAppClosing = false;
    }

    static QString settingsPath(const QString &subkey)
    {
        return QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\") + subkey;
    }

    // Stores a value as the options window itself would.
    static void store(const QString &subkey, const QString &name, const QString &value)
    {
        RegistryRoutines reg;
        reg.setHkey(HKEY_LOCAL_MACHINE);
        reg.setKeyRoot(QStringLiteral("SOFTWARE\\Tarvena\\Sonvale"));
        reg.setSubkey(subkey);
        ASSERT_TRUE(reg.SetRegistryValue(name, value, REG_SZ)) << name.toStdString();
    }

    // Every value of a subkey as name -> text; a value that is not REG_SZ
    // shows up with a marker so the comparison fails.
    static QMap<QString, QString> dump(const QString &subkey)
    {
        QMap<QString, QString> values;
        for (const Registry::Value &v : Registry::values(HKEY_LOCAL_MACHINE, settingsPath(subkey))) {
            QByteArray data = v.data;
            if (data.endsWith('\0'))
                data.chop(1);
            values.insert(v.name, v.type == REG_SZ ? QString::fromUtf8(data) : QStringLiteral("<not REG_SZ>"));
        }
        return values;
    }

    static frmOptions &options() { return Forms::loadOptions(); }
    static ScriptedPrompter &prompter() { return *testServices().prompter; }
};
