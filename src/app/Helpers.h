#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zentro {

// Money is integer cents until it is shown.
// "12" is 1200 cents, "12,5" 1250, "1.234,56" 123456; anything that is not a
// Brazilian amount answers nothing.
std::optional<qint64> ParseMoney(const QString &text);
// 1234567 gives "12.345,67", 5 gives "0,05", -150 gives "-1,50".
QString FormatMoney(qint64 cents);

// The pieces between separators, in order; an empty piece between two
// adjacent separators counts, a final separator adds none.
QStringList SplitByChar(const QString &text, QChar separator);
QString DigitsOnly(const QString &text);
// 7-bit ASCII: accents are dropped to their base letter where there is one,
// anything else becomes '?'.
QString ToAscii(const QString &text);
// Every character outside space, 0..9, A..Z, a..z becomes '_'.
QString SanitizeText(const QString &text);
bool HasHexLetter(const QString &text);
// Every character of the set written twice.
QString DoubleChars(const QString &text, const QString &set);

bool IsValidIPv4(const QString &text);
// The four numbers as four bytes in text order: the first number is the
// lowest byte, so the value stored little-endian reads a, b, c, d. 0 when the
// text has not exactly three dots.
quint32 ParseIPv4(const QString &text);
quint32 SwapIPv4(quint32 value);
// "first,second": answers how many non-empty parts were found (0, 1 or 2).
int SplitDnsPair(const QString &text, QString *first, QString *second);

} // namespace zentro
