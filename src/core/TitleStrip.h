#pragma once

#include <QtGlobal>

class QLabel;
class QProgressBar;
class QWidget;

// The coloured title strip that most windows carry at their top, in the
// title colours the user picked in the options: the strip's back colour and
// its label's text colour.
// The title colours the options set, as red + green * 256 + blue * 65536.
extern qint32 g_lTitleBackColor;
extern qint32 g_lTitleTextColor;

namespace TitleStrip {
void applyColors(QWidget *picTitle, QLabel *lblTitle);
// A progress bar filled in the title's back colour.
void applyBarColor(QProgressBar *bar);
}
