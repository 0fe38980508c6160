#pragma once

#include <QString>
#include <QtGlobal>

class QComboBox;

// Whether each destination format is offered (1) in this run; set by the
// first fill of a target-format box.
inline qint32 g_lDestWAV = 0;
inline qint32 g_lDestACM = 0;
inline qint32 g_lDestMP3 = 0;
inline qint32 g_lDestWMA = 0;
inline qint32 g_lDestOGG = 0;
inline qint32 g_lDestAPE = 0;

// The six destination formats of every target-format box. A format's text
// starts with its three-letter key.
namespace mdlSupportedDestination {

// Offers all six formats; answers an empty text.
QString InitDestinationFormats();
// Replaces the box's items by the texts of the offered formats, in the order
// WAV, ACM, MP3, WMA, OGG, APE; selects nothing.
void FillDestinationFormats(QComboBox *combo);
// 0 to 5 by the text's first three letters in capitals ("WAV", "ACM", "MP3",
// "WMA", "OGG", "APE"); 0 for any other text. The job controls are given
// this index plus one.
qint16 GetFormatIndex(const QString &format);
// The extension, in lower case, of the files a format writes, by the text's
// first three letters as GetFormatIndex reads them ("wav" for both WAV and
// ACM); empty for a text that names no format.
QString FileExtension(const QString &format);

} // namespace mdlSupportedDestination
