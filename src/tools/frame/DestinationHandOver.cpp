#include "tools/frame/DestinationHandOver.h"

#include "controls/audio/AudioDestination.h"
#include "settings/AudioFormatSettings.h"

namespace {

qint16 flag(bool value)
{
    return value ? -1 : 0;
}

} // namespace

namespace DestinationHandOver {

QString handOver(AudioDestination &control, qint16 index)
{
    control.DestFormat(index + 1);
    QString logText;
    switch (index) {
    case 1:
        control.SetACMSettings(g_sAcmFormatTag, g_sAcmFormat);
        logText = QStringLiteral("ACM WAV");
        break;
    case 2: {
        Mp3EncoderSettings mp3;
        mp3.ABRBitrate = g_lMp3ABRBitrate;
        mp3.Bitrate = g_lMp3Bitrate;
        mp3.Copyright = flag(g_bMp3Copyright);
        mp3.ErrorProtection = flag(g_bMp3ErrorProtect);
        mp3.Mode = g_lMp3Mode;
        mp3.Original = flag(g_bMp3Original);
        mp3.SampleRate = g_lMp3SampleRate;
        mp3.Quality = g_lMp3Quality;
        mp3.StrictISO = flag(g_bMp3StrictISO);
        mp3.VBRForceMinBitrate = flag(g_bMp3VBRForceMinBitrate);
        mp3.VBRMinBitrateIndex = g_lMp3MinBitrateIndex;
        mp3.VBRMaxBitrateIndex = g_lMp3MaxBitrateIndex;
        mp3.VBRQualityIndex = g_lMp3VBRQuality;
        mp3.VBRMode = 0;
        if (g_bMp3VBRTag) {
            mp3.VBRMode = 4;
            mp3.WriteVBRTag = -1;
        }
        if (g_bMp3ABR)
            mp3.VBRMode = 3;
        control.SetMP3Settings(mp3);
        logText = QStringLiteral("MP3");
        break;
    }
    case 3: {
        WmaFormatSettings wma;
        wma.CodecIndex = g_lWmaCodecIndex;
        wma.FormatIndex = g_lWmaFormatIndex;
        control.SetWMASettings(wma);
        logText = QStringLiteral("WMA");
        break;
    }
    case 4: {
        OggEncoderSettings ogg;
        if (g_bOggBitrateMode) {
            ogg.Mode = 2;
            ogg.NominalBitrate = g_lOggNominalBitrate;
        } else {
            ogg.Quality = g_lOggQuality;
        }
        control.SetOGGSettings(ogg);
        logText = QStringLiteral("OGG");
        break;
    }
    case 5:
        control.SetAPESettings(g_lApeLevel);
        logText = QStringLiteral("APE");
        break;
    default: {
        WavFormatSettings wav;
        wav.SampleRate = g_lWavSampleRate;
        wav.Channels = qint16(g_lWavChannelsIndex + 1);
        // A value that does not fit the record's field leaves it at 0.
        wav.BitsPerSample = (g_lWavBitsPerSample >= -32768 && g_lWavBitsPerSample <= 32767)
            ? qint16(g_lWavBitsPerSample)
            : qint16(0);
        control.SetWAVSettings(wav);
        logText = QStringLiteral("WAV");
        break;
    }
    }
    return logText;
}

} // namespace DestinationHandOver
