#pragma once

// What the audio format window's source files share: the captions of its MP3
// link, its drop-down list helpers and the record of one stored control.

#include "settings/frmAudioProp.h"

#include <QString>
#include <QStringList>

#include <variant>

class QComboBox;
class QWidget;

namespace AudioPropControls {

inline const QString kAdvanced = QStringLiteral("Advanced...");
inline const QString kSimple = QStringLiteral("Simple...");

// A drop-down list filled in code selects nothing until told to.
QComboBox *dropDownList(QWidget *parent, const QStringList &items = {});
// Adds an item without moving the selection (sorted: in alphabetical place,
// letter case ignored).
void appendItem(QComboBox *combo, const QString &text, bool sorted = false);
// Empties the list without running its click rule.
void clearList(QComboBox *combo);
// Selects the item with exactly that text; any other text changes nothing.
void selectText(QComboBox *combo, const QString &text);

} // namespace AudioPropControls

// One stored control: where its value lives, in which form, and which
// published variable it feeds.
struct frmAudioProp::StoredValue {
    enum class Kind { Text, Index, Check, Option, Position, Caption };
    // How the variable is read back from the control.
    enum class Publish { None, Number, Text, ListIndex, Checked, Selected, Position };

    QString subkey;
    QString name;
    Kind kind;
    QWidget *control;
    Publish publish;
    std::variant<std::monostate, qint32 *, bool *, QString *> target;
};
