#include "core/mdlFileSystem.h"

#include "core/SizeText.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <cmath>

namespace mdlFileSystem {

bool DeleteFileSafe(const QString &path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return false;
    return QFile::remove(path);
}

bool FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString FormatFileSize(double bytes)
{
    static const std::array<QString, 8> units = {
        QStringLiteral(" KB"), QStringLiteral(" MB"), QStringLiteral(" GB"), QStringLiteral(" TB"),
        QStringLiteral(" PB"), QStringLiteral(" EB"), QStringLiteral(" ZB"), QStringLiteral(" YB"),
    };
    if (std::isnan(bytes))
        return QString();
    if (bytes <= 999)
        return SizeText::formatRounded(bytes, 0) + QStringLiteral(" bytes");
    double divisor = 1.0;
    for (std::size_t k = 0; k < units.size(); ++k) {
        divisor *= 1024.0;
        // Past the last limit everything is counted in YB.
        if (bytes <= 999.0 * divisor || k + 1 == units.size())
            return FormatSizeNumber(bytes / divisor) + units[k];
    }
    return QString();
}

QString FormatSizeNumber(double value)
{
    if (value >= 100)
        return SizeText::formatNumber(std::nearbyint(value), 0);
    return SizeText::formatRounded(value, value >= 10 ? 1 : 2);
}

} // namespace mdlFileSystem
