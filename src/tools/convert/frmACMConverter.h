#pragma once

#include "tools/convert/AudioConverterWindow.h"

#include <QStringList>

#include <optional>

class QComboBox;
class QLabel;

// The ACM converter: writes every row it is handed as a WAV file coded with
// the format tag and format picked in the window, listed for a reference
// source (or for every source).
class frmACMConverter : public AudioConverterWindow {
    Q_OBJECT
public:
    explicit frmACMConverter(QWidget *parent = nullptr);
    ~frmACMConverter() override;

    // The converter's hand-over, then the reference list: "All ACM Codecs"
    // and the source of every row of the main grid, the selected row's picked.
    // The converters' hand-over, with the files of the whole list and the
    // selected item's file (none where no item is selected), which the
    // codec list offers to match.
    void HandOver(const QVector<ItemsListRow::Data> &rows, const QString &listName, const QStringList &listFiles,
                  const std::optional<QString> &selectedFile);

    void cboBestAccordItem_Click();
    void cboTags_Click();
    void cAudioConverter1_ACMTagFound(const QString &tagName);
    void cAudioConverter1_ACMFormatFound(const QString &formatName);
    void SetDestination() override;

    QLabel *Label1 = nullptr;
    QComboBox *cboBestAccordItem = nullptr;
    QLabel *lblTag = nullptr;
    QComboBox *cboTags = nullptr;
    QLabel *lblFormat = nullptr;
    QComboBox *cboFormats = nullptr;

    static constexpr qint32 kAcmConvertFlag = 0x100000;

protected:
    void loadOwnControls() override;
    std::optional<QString> destExtension() const override { return QStringLiteral("wav"); }
    bool setsRowTags() const override { return false; }
    bool followsRowsInCaption() const override { return false; }

private:
    // Picks "PCM" when the tags are listed, then lists its formats.
    void selectPcm();
};

namespace Forms {
// The ACM converter while it is loaded; null otherwise.
frmACMConverter *acmConverter();
// Creates the ACM converter (its Form_Load runs) unless it is loaded; it is
// released when it closes.
frmACMConverter &loadACMConverter(QWidget *owner = nullptr);
}
