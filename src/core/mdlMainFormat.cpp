#include "core/mdlMain.h"

#include "core/SizeText.h"

#include <array>

namespace mdlMain {

QString FormatByteSize(qint64 bytes)
{
    if (bytes < 0)
        return QString();
    if (bytes == 0)
        return QStringLiteral("0");

    // A 64-bit count reaches exabytes, so the units go on past terabytes.
    static const std::array<QString, 7> units = {
        QString(), QStringLiteral(" KB"), QStringLiteral(" MB"), QStringLiteral(" GB"),
        QStringLiteral(" TB"), QStringLiteral(" PB"), QStringLiteral(" EB"),
    };
    std::size_t i = 0;
    double x = double(bytes);
    while (x >= 1000 && i + 1 < units.size()) {
        x /= 1024;
        ++i;
    }
    // Below 1000 bytes the count has no unit and still carries decimals
    // ("5.00"); totals have always been written that way.
    const int decimals = x >= 100 ? 0 : (x >= 10 ? 1 : 2);
    return SizeText::formatRounded(x, decimals) + units[i];
}

} // namespace mdlMain
