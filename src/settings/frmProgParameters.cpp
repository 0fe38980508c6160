#include "settings/frmProgParameters.h"

#include "core/TextRoom.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "platform/AppPaths.h"
#include "settings/ColorBox.h"
#include "settings/OptionSettings.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

struct Row {
    const char *token;
    const char *description;
};

constexpr Row noticeRows[] = {
    {"[PROG_NAME]", "The program name."},
    {"[PROG_VERSION]", "The version."},
    {"[FILE_RECORDED]", "The created file path and name."},
    {"[FILE_SIZE]", "The created file size."},
    {"[FILE_TIME_LENGTH]", "The created file time length."},
    {"[FILE_CREATED]", "The date and time of the file."},
};

constexpr Row tagRows[] = {
    {"[PROG_NAME]", "The program name."},
    {"[PROG_VERSION]", "The version."},
    {"[DATE]", "The creation date of the file."},
    {"[TIME]", "The creation time of the file."},
    {"[TRACK_NUM]", "The item number."},
    {"[YEAR]", "The creation year of the file."},
    {"[SOURCE_NAME]", "The source file name."},
    {"[ITEM_NAME]", "The item name from the Items List."},
    {"[RANGE]", "The processed range."},
};

constexpr Row nameRows[] = {
    {"[file_name]", "The file name."},
    {"[date]", "The current date."},
    {"[time]", "The current time."},
    {"[123]", "The track number."},
    {"[source_extension]", "The extension of the source file."},
    {"[dest_extension]", "The extension of the destination file."},
    {"[item_name]", "The item name from the Items List."},
};

// Places in twips: left, top, width, height.
template <typename Widget>
Widget *place(Widget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
    return widget;
}

constexpr int kRowHeight = 330;
constexpr int kFrameWidth = 6135;

template <std::size_t N>
QWidget *section(QWidget *parent, const Row (&rows)[N], QList<QLineEdit *> &tokens)
{
    auto *frame = place(new QWidget(parent), 120, 0, kFrameWidth, int(N) * kRowHeight + 120);
    frame->setAutoFillBackground(true);
    int top = 60;
    for (const Row &row : rows) {
        auto *token = place(new QLineEdit(QString::fromLatin1(row.token), frame), 0, top, 1815, 285);
        token->setReadOnly(true);
        token->setFrame(false);
        tokens << token;
        place(new QLabel(QStringLiteral("-"), frame), 1875, top, 135, 285);
        place(new QLabel(QString::fromLatin1(row.description), frame), 2070, top, kFrameWidth - 2070, 285);
        top += kRowHeight;
    }
    frame->setVisible(false);
    return frame;
}

void paintBack(QWidget *widget, const QColor &color)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
}

} // namespace

frmProgParameters::frmProgParameters(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Parameters"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSizeF(8.25);
    setFont(tahoma);
    setFixedSize(Twips::toPixels(6375), Twips::toPixels(4995));

    picTitle = place(new ColorBox(this), 0, 0, 6375, 495);
    lblTitle = place(new QLabel(QStringLiteral("Parameters"), picTitle), 120, 75, 4845, 270);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(11.25);
    titleFont.setItalic(true);
    lblTitle->setFont(titleFont);

    lblSections = place(new QLabel(QStringLiteral("Sections:"), this), 120, 600, 735, 195);
    cboSections = place(new QComboBox(this), 120, 840, 3495, 315);
    cboSections->addItems({QStringLiteral("Execute external application"), QStringLiteral("ID3 Audio Tags"),
                           QStringLiteral("File Name Format")});
    cboSections->setCurrentIndex(-1);

    fraAppNotic = section(this, noticeRows, txtParameter);
    fraID3Tags = section(this, tagRows, txtParameter);
    fraExt = section(this, nameRows, txtParameter);

    cmdOk = place(new QPushButton(QStringLiteral("OK"), this), 4800, 4440, 1455, 375);
    cmdOk->setDefault(true);

    connect(cboSections, &QComboBox::currentIndexChanged, this, &frmProgParameters::cboSections_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmProgParameters::cmdOk_Click);
}

void frmProgParameters::Form_Load()
{
    picTitle->setBackColor(g_lTitleBackColor);
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, ColorBox::toColor(g_lTitleTextColor));
    lblTitle->setPalette(titlePalette);

    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok) {
        for (QWidget *widget : {static_cast<QWidget *>(this), fraAppNotic, fraID3Tags, fraExt})
            paintBack(widget, ColorBox::toColor(back));
    }
    const QString pictures = AppPaths::resourceFolder() + QStringLiteral("/View/");
    if (!g_sViewBackPicture.isEmpty()) {
        const QPixmap picture(pictures + g_sViewBackPicture);
        if (!picture.isNull()) {
            QPalette pal = palette();
            pal.setBrush(QPalette::Window, QBrush(picture));
            setPalette(pal);
        }
    }
    if (!g_sViewTitlePicture.isEmpty()) {
        const QPixmap picture(pictures + g_sViewTitlePicture);
        if (!picture.isNull()) {
            QPalette pal = picTitle->palette();
            pal.setBrush(QPalette::Window, QBrush(picture));
            picTitle->setPalette(pal);
        }
    }

    // The sections share one place just below the list.
    const int top = cboSections->y() + cboSections->height() + Twips::toPixels(50);
    for (QWidget *frame : {fraAppNotic, fraID3Tags, fraExt})
        frame->move(cboSections->x(), top);
    TextRoom::fitAll(this);
}

void frmProgParameters::cboSections_Click()
{
    fraAppNotic->setVisible(false);
    fraID3Tags->setVisible(false);
    fraExt->setVisible(false);
    switch (cboSections->currentIndex()) {
    case 0: fraAppNotic->setVisible(true); break;
    case 1: fraID3Tags->setVisible(true); break;
    case 2: fraExt->setVisible(true); break;
    default: break;
    }
}

void frmProgParameters::execOnSection(int section)
{
    cboSections->setCurrentIndex(section);
    exec();
}

void frmProgParameters::cmdOk_Click()
{
    Forms::unload(this);
}
