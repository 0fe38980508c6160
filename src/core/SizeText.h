#pragma once

#include <QString>

// Number texts of the size and time procedures: the user's decimal
// separator, no digit grouping.

namespace SizeText {

// The value with that many decimals, as it stands (already rounded).
QString formatNumber(double value, int decimals);
// The value rounded to that many decimals, halves away from zero.
QString formatRounded(double value, int decimals);

} // namespace SizeText
