#pragma once

#include "ListFixtures.h"
#include "support/MainWindowFixture.h"

// The main window's fixture with the lists' own audio files: silent WAVs of
// any rate and channels, and ones whose INFO list names their tags.
class ListWindowTest : public MainWindowTest {
protected:
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

private:
    static QByteArray le32(quint32 v)
    {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = char((v >> (8 * i)) & 0xFF);
        return b;
    }
};
