#pragma once

#include <QByteArray>
#include <QString>

namespace zentro {

// Windows-1252, the single-byte text of the files operators exchange with
// spreadsheets and of every text bound for a card or an image.
class TextCodec
{
public:
    // Characters without a Windows-1252 byte become '?'.
    static QByteArray toCp1252(const QString &text);
    // Whether every character of the text has a Windows-1252 byte.
    static bool fitsCp1252(const QString &text);
    static QString fromCp1252(const QByteArray &bytes);
    // Files from other programs may be UTF-8 already: valid UTF-8 is read as
    // such, anything else as Windows-1252.
    static QString fromCp1252OrUtf8(const QByteArray &bytes);
};

} // namespace zentro
