#include "core/TitleStrip.h"

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace TitleStrip {
namespace {

// Colours stored as red + green * 256 + blue * 65536.
QColor fromStored(qint32 value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// The strip's look until the options publish the user's title colours.
constexpr qint32 kBackColor = 0x804000;
constexpr qint32 kTextColor = 0xFFFFFF;

} // namespace

void applyColors(QWidget *picTitle, QLabel *lblTitle)
{
    if (picTitle) {
        QPalette palette = picTitle->palette();
        palette.setColor(QPalette::Window, fromStored(kBackColor));
        picTitle->setPalette(palette);
        picTitle->setAutoFillBackground(true);
    }
    if (lblTitle) {
        QPalette palette = lblTitle->palette();
        palette.setColor(QPalette::WindowText, fromStored(kTextColor));
        lblTitle->setPalette(palette);
    }
}

} // namespace TitleStrip
