#pragma once

#include <QString>
#include <QWidget>

#include <vector>

// Holds windows (toolbars) in keyed bands, one under the other, inside the
// window it is created in.
class cReBar : public QWidget {
    Q_OBJECT
public:
    explicit cReBar(QWidget *parent = nullptr);

    void setSetupStyle(int value) { m_setupStyle = value; }
    int SetupStyle() const { return m_setupStyle; }
    // Places the rebar inside container, filling it.
    void CreateRebar(QWidget *container);
    // Answers the new band's index (from 1), or 0 when the key is taken.
    int AddBand(QWidget *window, const QString &text = QString(), bool = false, bool = false,
                const QString &key = QString());
    void UpdateBand(int = 0);

    int BandCount() const { return static_cast<int>(m_bands.size()); }
    QString BandKey(int index) const;
    QWidget *BandChild(const QString &key) const;

private:
    struct Band {
        QString key;
        QWidget *window = nullptr;
    };
    std::vector<Band> m_bands;
    int m_setupStyle = 0;
};
