#pragma once

#include <QPointer>
#include <QString>
#include <QToolBar>

#include <vector>

class QAbstractButton;
class QToolButton;
class cImageList;

// A toolbar of keyed buttons added in order. Buttons count from 1 and a
// separator takes a position too, so indexes match the order of AddButton.
// Styles: 0 plain, 1 separator, 2 check (a click toggles it before the click
// is reported), 8 drop-down (its arrow reports ButtonDropDown).
class cToolbar : public QToolBar {
    Q_OBJECT
public:
    enum ButtonStyle { Plain = 0, Separator = 1, Check = 2, DropDown = 8 };

    explicit cToolbar(QWidget *parent = nullptr);

    // Set-up values accepted before creation; they change nothing visible here.
    void setSetupStyle(int value) { m_setupStyle = value; }
    int SetupStyle() const { return m_setupStyle; }
    void setSetupValue2F(int value) { m_setupValue2F = value; }
    void setSetupFlag0C(bool on) { m_setupFlag0C = on; }
    void setSetupFlag0D(bool on) { m_setupFlag0D = on; }
    void setSetupFlag05(int index, bool on);

    void SetImageList(cImageList *images);
    // size: the edge of the button pictures in pixels.
    void CreateToolbar(int size, bool = false, bool = true, bool = true);
    bool Created() const { return m_created; }

    // Appends a button and answers its index; a separator has no key.
    int AddButton(const QString &toolTip, int image, const QVariant &reserved = QVariant(), int number = 0,
                  const QString &caption = QString(), int style = Plain, const QString &key = QString());

    int ButtonCount() const { return static_cast<int>(m_buttons.size()); }
    // 0 when no button has the key (keys compare exactly).
    int ButtonIndex(const QString &key) const;
    QString ButtonKey(int index) const;
    QString ButtonCaption(int index) const;
    QString ButtonToolTip(int index) const;
    int ButtonImage(int index) const;
    int ButtonStyle(int index) const;
    // A key that no button has reads false and ignores writes.
    bool ButtonChecked(const QString &key) const;
    void setButtonChecked(const QString &key, bool checked);
    // The screen point under the button, in pixels.
    void GetButtonPosition(int index, int &left, int &top) const;
    QWidget *hWnd() { return this; }

    // The button's body and its drop-down arrow, for hosts and tests.
    QAbstractButton *buttonWidget(int index) const;
    QAbstractButton *dropDownArrow(int index) const;

signals:
    void ButtonClick(int index);
    void ButtonDropDown(int index);

private:
    struct Button {
        QString key;
        QString toolTip;
        QString caption;
        int image = -1;
        int style = Plain;
        QToolButton *body = nullptr;
        QToolButton *arrow = nullptr;
    };
    const Button *button(int index) const;
    void showImages();

    std::vector<Button> m_buttons;
    QPointer<cImageList> m_images;
    int m_setupStyle = 0;
    int m_setupValue2F = 0;
    bool m_setupFlag0C = false;
    bool m_setupFlag0D = false;
    bool m_created = false;
};
