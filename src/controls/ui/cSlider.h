#pragma once

#include <QSlider>

// A horizontal position slider: Value and Max in whole units; DragStart and
// DragEnd report the user taking and letting go of the handle.
class cSlider : public QSlider {
    Q_OBJECT
public:
    explicit cSlider(QWidget *parent = nullptr);

    int Value() const { return value(); }
    void setValue(int value) { QSlider::setValue(value); }
    int Max() const { return maximum(); }
    void setMax(int max) { setMaximum(max); }
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 colour);

signals:
    void DragStart();
    void DragEnd();

private:
    quint32 m_backColor = 0x8000000Fu;
};
