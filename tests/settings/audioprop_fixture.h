#pragma once

#include "support/TestEnvironment.h"

#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "mainwindow/frmMain.h"
#include "settings/AudioFormatSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>
#include <gtest/gtest.h>

// Loads the options window and the audio format window as the start-up does,
// on the installed settings root (every format subkey present and empty),
// after the test has stored what it wants; unloads both as the program's
// close does.
class AudioPropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Values a read must overwrite: they show when a row keeps "its previous value".
        g_lWavSampleRate = g_lWavBitsPerSample = g_lWavChannelsIndex = -7;
        g_lMp3Bitrate = g_lMp3Quality = g_lMp3SampleRate = g_lMp3Mode = -7;
        g_lMp3VBRQuality = g_lMp3MinBitrateIndex = g_lMp3MaxBitrateIndex = g_lMp3ABRBitrate = -7;
        g_lWmaCodecIndex = g_lWmaFormatIndex = g_lOggQuality = g_lOggNominalBitrate = g_lApeLevel = -7;
        g_sAcmFormatTag = g_sAcmFormat = QStringLiteral("unset");
        g_bMp3ErrorProtect = g_bMp3Original = g_bMp3Copyright = g_bMp3StrictISO = true;
        g_bMp3VBRTag = g_bMp3VBRForceMinBitrate = g_bMp3ABR = true;
        g_bOggQualityMode = g_bOggBitrateMode = true;
    }

    void TearDown() override
    {
        g_bAppClosing = true;
        Forms::unload(Forms::audioProp());
        Forms::unload(Forms::options());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_bAppClosing = false;
    }

    frmAudioProp &load()
    {
        Forms::loadOptions();
        return Forms::loadAudioProp();
    }

    static RegistryRoutines formatKey(const QString &format)
    {
        RegistryRoutines reg;
        reg.setHkey(HKEY_LOCAL_MACHINE);
        reg.setKeyRoot(QStringLiteral("SOFTWARE\\Tarvena\\Sonvale"));
        reg.setSubkey(format.isEmpty() ? QString() : QStringLiteral("Formats\\") + format);
        return reg;
    }

    static void store(const QString &format, const QString &name, const QString &text)
    {
        ASSERT_TRUE(formatKey(format).SetRegistryValue(name, text, REG_SZ));
    }

    // "subkey\name=text" for every value of the six format subkeys, in key
    // order and then in the registry's name order.
    static QStringList dumpFormats()
    {
        QStringList lines;
        for (const char *format : {"WAV", "ACM", "MP3", "WMA", "OGG", "APE"}) {
            const QString path = QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\Formats\\") + QLatin1String(format);
            for (const auto &[name, data] : RegistryRoutines().EnumRegistryValues(HKEY_LOCAL_MACHINE, path))
                lines << QLatin1String(format) + QLatin1Char('\\') + name + QLatin1Char('=') + data.toString();
        }
        return lines;
    }
};
