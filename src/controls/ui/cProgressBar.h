#pragma once

#include "controls/ui/XP_ProgressBar.h"

#include <QPixmap>
#include <QString>

// The plain progress bar: the same numbers as XP_ProgressBar, plus a text
// drawn over the bar and a picture behind it.
class cProgressBar : public XP_ProgressBar {
    Q_OBJECT
public:
    explicit cProgressBar(QWidget *parent = nullptr);

    quint32 BarColor() const { return Color(); }
    void setBarColor(quint32 colour) { setColor(colour); }
    QString Text() const { return m_text; }
    void setText(const QString &text);
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);

private:
    QString m_text;
    QPixmap m_picture;
};
