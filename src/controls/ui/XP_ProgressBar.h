#pragma once

#include <QWidget>

class QProgressBar;

// A progress bar whose range and value are kept as written, even when they
// make no sense to draw (a maximum below the minimum, a value past the
// end): the drawing is clamped, the numbers read back unchanged.
class XP_ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit XP_ProgressBar(QWidget *parent = nullptr);

    int Min() const { return m_min; }
    void setMin(int min);
    int Max() const { return m_max; }
    void setMax(int max);
    int Value() const { return m_value; }
    void setValue(int value);
    // The bar's own visibility flag: true once shown even while its window
    // is still hidden, which is what the list loaders test.
    bool Visible() const { return !isHidden(); }
    // A colour number (0x00BBGGRR) or a system colour: the filled part.
    quint32 Color() const { return m_color; }
    void setColor(quint32 colour);

    // How far the drawn bar is filled, 0 to 1.
    double shownFraction() const;

protected:
    QProgressBar *bar() const { return m_bar; }

private:
    void refresh();

    QProgressBar *m_bar;
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
    quint32 m_color = 0x8000000Du;
};
