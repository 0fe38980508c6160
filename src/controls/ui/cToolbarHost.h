#pragma once

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

class cToolbar;

// Holds one toolbar, over a background colour or a background picture file.
class cToolbarHost : public QWidget {
    Q_OBJECT
public:
    explicit cToolbarHost(QWidget *parent = nullptr);

    void AddToolbar(cToolbar *toolbar);
    cToolbar *Toolbar() const { return m_toolbar; }

    // A colour number (0x00BBGGRR) or a system colour.
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 colour);
    QString BackgroundPictureFile() const { return m_pictureFile; }
    // A file that cannot be read leaves the colour showing.
    void setBackgroundPictureFile(const QString &path);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<cToolbar> m_toolbar;
    quint32 m_backColor = 0x8000000Fu;
    QString m_pictureFile;
    QPixmap m_picture;
};
