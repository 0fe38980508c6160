#pragma once

#include <QColor>
#include <QFrame>

// A plain coloured box: the title strips and the colour strips of the option
// pages. Its colour is kept as the stored number (red + green * 256 +
// blue * 65536), so a value read from the settings goes back out unchanged.
class ColorBox : public QFrame {
    Q_OBJECT
public:
    explicit ColorBox(QWidget *parent = nullptr);

    qint32 BackColor() const { return m_backColor; }
    void setBackColor(qint32 color);

    // The colour of a stored number; only the three colour bytes count.
    static QColor toColor(qint32 color);
    // Paints another widget's background, or its text, in a stored colour.
    static void paintBack(QWidget *widget, qint32 color);
    static void paintText(QWidget *widget, qint32 color);

Q_SIGNALS:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    qint32 m_backColor = 0;
};
