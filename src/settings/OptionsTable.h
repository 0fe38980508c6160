#pragma once

#include <QString>
#include <QtGlobal>

#include <span>
#include <variant>

class ColorBox;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class frmOptions;

// The general options that the options window keeps as they are: each one's
// registry subkey and value name, the window's control and the process-wide
// variable it is published in, and what an empty stored value reads as. The
// window reads and saves from this one table, and the tests' fresh state is
// taken from its variables. The options that need more than a copy (the
// device, the target format, the lists folder, the file name format and the
// end sound) are read and saved by the window itself.
namespace OptionsTable {

using Control = std::variant<QCheckBox *frmOptions::*, QLineEdit *frmOptions::*, QPlainTextEdit *frmOptions::*,
                             ColorBox *frmOptions::*>;
// A check box publishes bool, a text QString, a colour qint32.
using Global = std::variant<bool *, QString *, qint32 *>;

struct Option {
    QString subkey;
    QString key;
    Control control;
    Global global;
    // What an empty stored value reads as: a check state or a colour.
    qint32 emptyAs = 0;
};

std::span<const Option> options();

} // namespace OptionsTable
