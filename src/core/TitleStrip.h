#pragma once

class QLabel;
class QWidget;

// The coloured title strip that most windows carry at their top: the strip's
// back colour and its label's text colour.
namespace TitleStrip {
void applyColors(QWidget *picTitle, QLabel *lblTitle);
}
