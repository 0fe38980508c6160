#pragma once

#include "tools/convert/AudioConverterWindow.h"

// The audio converter: writes every row it is handed as one file of the
// chosen destination format, named by the picked template.
class frmConverter : public AudioConverterWindow {
    Q_OBJECT
public:
    explicit frmConverter(QWidget *parent = nullptr);
    ~frmConverter() override;

protected:
    // "[SOURCE_NAME]", "[ITEM_NAME]" and "[RANGE]" of the current row.
    QString replaceRowPlaceholders(const QString &text) const override;
};

namespace Forms {
// The converter while it is loaded; null otherwise.
frmConverter *converter();
// Creates the converter (its Form_Load runs) unless it is loaded; it is
// released when it closes.
frmConverter &loadConverter(QWidget *owner = nullptr);
}
