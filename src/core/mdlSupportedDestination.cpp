#include "core/mdlSupportedDestination.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <array>

namespace {

struct DestinationFormat {
    const char *key;
    const char *text;
    qint32 *offered;
    const char *fileExtension; // an ACM file is a WAV file
};

// "Monkey 's" with its blank is the text stored settings hold.
const std::array<DestinationFormat, 6> destinationFormats = {{
    {"WAV", "WAV - Waveform Audio Format (*.wav)", &g_lDestWAV, "wav"},
    {"ACM", "ACM - Waveform ACM Codecs (*.wav)", &g_lDestACM, "wav"},
    {"MP3", "MP3 - MPEG-1 Audio Layer 3 (*.mp3)", &g_lDestMP3, "mp3"},
    {"WMA", "WMA - Windows Media Audio files (*.wma)", &g_lDestWMA, "wma"},
    {"OGG", "OGG - Ogg Media Format (*.ogg)", &g_lDestOGG, "ogg"},
    {"APE", "APE - Monkey 's Audio (*.ape)", &g_lDestAPE, "ape"},
}};

} // namespace

namespace mdlSupportedDestination {

QString InitDestinationFormats()
{
    for (const DestinationFormat &format : destinationFormats)
        *format.offered = 1;
    return QString();
}

void FillDestinationFormats(QComboBox *combo)
{
    InitDestinationFormats();
    if (!combo)
        return;
    // Callers select from their stored option; filling the box is no choice
    // and raises no selection signal.
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const DestinationFormat &format : destinationFormats) {
        if (*format.offered == 1)
            combo->addItem(QString::fromLatin1(format.text));
    }
    combo->setCurrentIndex(-1);
}

qint16 GetFormatIndex(const QString &format)
{
    const QString key = format.left(3).toUpper();
    for (std::size_t i = 0; i < destinationFormats.size(); ++i) {
        if (key == QLatin1String(destinationFormats[i].key))
            return qint16(i);
    }
    return 0;
}

QString FileExtension(const QString &format)
{
    const QString key = format.left(3).toUpper();
    for (const DestinationFormat &destination : destinationFormats) {
        if (key == QLatin1String(destination.key))
            return QString::fromLatin1(destination.fileExtension);
    }
    return QString();
}

} // namespace mdlSupportedDestination
