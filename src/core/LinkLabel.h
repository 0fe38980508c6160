#pragma once

#include <QLabel>

// A label that acts as a web link: blue, underlined, a pointing hand over it,
// its caption as tooltip, and a click signal.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString &caption = QString(), QWidget *parent = nullptr);

    // Sets the caption and the tooltip together.
    void setCaption(const QString &caption);
    // Draws the link in the system's text colour instead of blue.
    void useSystemColor();

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
