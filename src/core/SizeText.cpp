#include "core/SizeText.h"

#include <QLocale>

#include <cmath>

namespace SizeText {

QString formatNumber(double value, int decimals)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

QString formatRounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    // Scaling by a power of ten can land a hair below a half (0.125 * 100 is
    // exact, 1.005 * 100 is not); a tiny relative nudge keeps the written
    // decimal half going away from zero as the user reads it.
    const double scaled = value * scale;
    const double nudged = scaled + std::copysign(std::fabs(scaled) * 1e-12, scaled);
    double rounded = std::round(nudged) / scale;
    if (rounded == 0)
        rounded = 0; // no "-0.00"
    return formatNumber(rounded, decimals);
}

} // namespace SizeText
