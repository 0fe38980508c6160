#pragma once

#include <QColor>
#include <QPalette>

// Colours as the settings keep them: a number 0x00BBGGRR, or a system
// colour 0x80000000 + the index of a desktop colour.
namespace OleColor {
QColor toQColor(quint32 colour, const QPalette &palette = QPalette());
quint32 fromQColor(const QColor &colour);
}
