#include "controls/audio/FfmpegHandles.h"

#include <mutex>

namespace av {

void quietLogs()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_ERROR); });
}

QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(code, text, sizeof text) < 0)
        return QStringLiteral("error %1").arg(code);
    return QString::fromUtf8(text);
}

AVChannelLayout layoutOf(const AVChannelLayout &layout)
{
    AVChannelLayout result{};
    // Only native layouts are copied: they own no memory, so the result
    // needs no uninit. Custom orders are rare in audio files and mix fine as
    // the default layout of their channel count.
    if (layout.order == AV_CHANNEL_ORDER_NATIVE && layout.nb_channels > 0) {
        result = layout;
        return result;
    }
    av_channel_layout_default(&result, layout.nb_channels > 0 ? layout.nb_channels : 2);
    return result;
}

} // namespace av
