#pragma once

#include <QtGlobal>

#include <optional>

class FileWindow;

// The layout of an MPEG audio stream, read from its bytes without decoding:
// frame headers, the tags around the frames and the Xing/Info frame that
// LAME and FFmpeg put first. Shared by the length count and the frame copy.
namespace Mp3Frames {

struct Header {
    int version = 0; // the header's two version bits: 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layer = 0;
    int bitrateIndex = 0;
    int kbps = 0;
    int sampleRate = 0;
    bool mono = false;
    bool crc = false; // a 16-bit check follows the header
    qint64 bytes = 0;
    int samples = 0;

    // Whether next belongs to the same stream: a stray sync word in the
    // audio data rarely repeats all of these.
    bool sameStream(const Header &next) const
    {
        return next.version == version && next.layer == layer && next.sampleRate == sampleRate;
    }
    // Layer III side information, which follows the header and its check.
    int sideInfoBytes() const { return version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17); }
    // Where a Layer III frame's main data begins, from the frame's start.
    int mainDataOffset() const { return 4 + (crc ? 2 : 0) + sideInfoBytes(); }
};

// The header at p (four bytes), or nothing when p holds no usable one:
// free-format streams name no bitrate, so their frames cannot be walked.
std::optional<Header> parseHeader(const uchar *p);

// Where the ID3v2 tag at the start ends (0 without one), from the first
// size bytes of the file.
qint64 afterId3v2(const uchar *d, qint64 size);
qint64 afterId3v2(FileWindow &file);
// Where the audio ends: before an ID3v1 tag and an APE tag, in either order.
qint64 beforeEndTags(FileWindow &file, qint64 end, qint64 begin);
// The first frame header at or after pos that the next header confirms (or
// that ends the audio exactly), like the first one when like is given; -1
// when there is none.
qint64 findFrame(FileWindow &file, qint64 pos, qint64 end, const Header *like);

// What the first frame says when it is a Xing, Info or VBRI frame, which
// holds no audio.
struct TagFrame {
    enum Kind { None, NoCount, Counted } kind = None;
    // With Counted: the Xing frame count and the LAME extension's delay and
    // padding, which decoders drop from the frames' samples.
    qint64 frames = 0;
    // The Xing byte count of the stream, this frame included; 0 when absent.
    qint64 bytes = 0;
    int delay = 0;
    int padding = 0;
    // The 36 bytes of the LAME extension; nullptr unless Counted.
    const uchar *extension = nullptr;

    // What a gapless decoder yields from the counted frames of first's kind.
    qint64 decodedSamples(const Header &first) const { return frames * first.samples - delay - padding; }
};
TagFrame readTagFrame(const uchar *frame, const Header &h);

// Where the Xing or Info text sits in a tag frame: decoders look right
// after the side information of a header without a check.
inline int xingOffset(const Header &h)
{
    return 4 + h.sideInfoBytes();
}
// The LAME extension's offset in an Info frame with every Xing field
// (frames, bytes, table of contents, quality), from the frame's start.
inline int lameExtensionOffset(const Header &h)
{
    return xingOffset(h) + 8 + 4 + 4 + 100 + 4;
}
constexpr int kLameExtensionBytes = 36;
// What a gapless decoder drops besides the encoder delay the LAME extension
// names: the delay of its own synthesis filter bank.
constexpr int kDecoderDelay = 529;

} // namespace Mp3Frames
