#pragma once

#include <QLabel>

// A label that works like a web link: blue, underlined, a pointing hand over
// it, its caption as tooltip, and a Click when the left button is released
// over it.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString &caption, QWidget *parent = nullptr);

Q_SIGNALS:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
