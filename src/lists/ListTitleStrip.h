#pragma once

class QLabel;
class QString;
class QWidget;

// The title strip at the top of the list and item windows: a strip holding
// one bold label. Answers the label; the strip is made in parent.
QLabel *buildListTitleStrip(QWidget *&picTitle, const QString &text, QWidget *parent);
