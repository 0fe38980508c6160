#include "controls/ui/OleColor.h"

namespace OleColor {

QColor toQColor(quint32 colour, const QPalette &palette)
{
    if (colour & 0x80000000u) {
        switch (colour & 0xFFu) {
        case 5: // window background
            return palette.color(QPalette::Base);
        case 8: // window text
            return palette.color(QPalette::WindowText);
        case 13: // highlight
            return palette.color(QPalette::Highlight);
        case 14: // highlighted text
            return palette.color(QPalette::HighlightedText);
        case 15: // button face
            return palette.color(QPalette::Button);
        case 18: // button text
            return palette.color(QPalette::ButtonText);
        default:
            return palette.color(QPalette::Text);
        }
    }
    return QColor(int(colour & 0xFFu), int((colour >> 8) & 0xFFu), int((colour >> 16) & 0xFFu));
}

quint32 fromQColor(const QColor &colour)
{
    return quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16);
}

} // namespace OleColor
