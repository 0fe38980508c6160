#pragma once

#include <cstddef>
#include <cstdint>

// The destination codes and per-format settings records that the tool windows
// hand to the job controls. The layouts (offsets, padding, sizes) are part of
// the controls' interface, so they are pinned below. Flags hold -1 for true.

enum DestinationFormatCode : std::int32_t {
    DestWAV = 1,
    DestACM = 2,
    DestMP3 = 3,
    DestWMA = 4,
    DestOGG = 5,
    DestAPE = 6,
};

struct WavFormatSettings {
    std::int32_t SampleRate = 0;
    std::int16_t Channels = 0;
    std::int16_t BitsPerSample = 0;

    bool operator==(const WavFormatSettings &) const = default;
};

struct Mp3EncoderSettings {
    std::int32_t ABRBitrate = 0;
    std::int32_t Bitrate = 0;
    std::int16_t Copyright = 0;
    std::int16_t ErrorProtection = 0;
    std::int32_t Mode = 0;
    std::int16_t Original = 0;
    std::int32_t SampleRate = 0;
    std::int32_t Quality = 0;
    std::int16_t StrictISO = 0;
    std::int32_t VBRMode = 0;
    std::int16_t VBRForceMinBitrate = 0;
    std::int32_t VBRMinBitrateIndex = 0;
    std::int32_t VBRMaxBitrateIndex = 0;
    std::int32_t VBRQualityIndex = 0;
    std::int16_t WriteVBRTag = 0;

    bool operator==(const Mp3EncoderSettings &) const = default;
};

struct WmaFormatSettings {
    std::int32_t CodecIndex = 0;
    std::int32_t FormatIndex = 0;

    bool operator==(const WmaFormatSettings &) const = default;
};

struct OggEncoderSettings {
    std::int32_t Mode = 0; // 0 quality, 2 nominal bitrate
    std::int32_t NominalBitrate = 0;
    std::int32_t Quality = 0; // 0 to 100

    bool operator==(const OggEncoderSettings &) const = default;
};

// The MP3 channel modes as the settings list numbers them.
enum Mp3Mode : std::int32_t {
    Mp3Stereo = 0,
    Mp3JointStereo = 1,
    Mp3DualChannel = 2,
    Mp3Mono = 3,
    Mp3NotSet = 4,
    Mp3ForceJointStereo = 5,
};

// The bitrates of the MP3 bitrate lists, by list index (kbit/s).
inline constexpr std::int32_t kMp3BitrateList[]
    = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 320};

static_assert(sizeof(WavFormatSettings) == 8);
static_assert(offsetof(WavFormatSettings, Channels) == 4 && offsetof(WavFormatSettings, BitsPerSample) == 6);
static_assert(sizeof(Mp3EncoderSettings) == 56);
static_assert(offsetof(Mp3EncoderSettings, Mode) == 12 && offsetof(Mp3EncoderSettings, SampleRate) == 20
    && offsetof(Mp3EncoderSettings, StrictISO) == 28 && offsetof(Mp3EncoderSettings, VBRMode) == 32
    && offsetof(Mp3EncoderSettings, VBRMinBitrateIndex) == 40 && offsetof(Mp3EncoderSettings, WriteVBRTag) == 52);
static_assert(sizeof(WmaFormatSettings) == 8);
static_assert(sizeof(OggEncoderSettings) == 12);
