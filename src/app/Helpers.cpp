#include "app/Helpers.h"

#include <QRegularExpression>

namespace zentro {

std::optional<qint64> ParseMoney(const QString &text)
{
    // Thousands grouped by "." (or not grouped at all), up to two decimals after ",".
    static const QRegularExpression amount(
        QStringLiteral("^\\s*(-)?\\s*(\\d{1,3}(?:\\.\\d{3})+|\\d+)?(?:,(\\d{0,2}))?\\s*$"));
    const auto m = amount.match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return std::nullopt;
    QString units = m.captured(2);
    units.remove(QLatin1Char('.'));
    if (units.size() > 15)
        return std::nullopt;
    QString decimals = m.captured(3);
    while (decimals.size() < 2)
        decimals += QLatin1Char('0');
    const qint64 cents = units.toLongLong() * 100 + decimals.toLongLong();
    return m.captured(1).isEmpty() ? cents : -cents;
}

QString FormatMoney(qint64 cents)
{
    const bool negative = cents < 0;
    const quint64 abs = negative ? quint64(-(cents + 1)) + 1 : quint64(cents);
    QString units = QString::number(abs / 100);
    for (int i = units.size() - 3; i > 0; i -= 3)
        units.insert(i, QLatin1Char('.'));
    const QString out = units + QLatin1Char(',') + QStringLiteral("%1").arg(abs % 100, 2, 10, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + out : out;
}

QStringList SplitByChar(const QString &text, QChar separator)
{
    QStringList pieces = text.split(separator);
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    return pieces;
}

QString DigitsOnly(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += c;
    }
    return out;
}

QString ToAscii(const QString &text)
{
    QString out;
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    for (const QChar c : decomposed) {
        if (c.unicode() < 0x80)
            out += c;
        else if (c.category() == QChar::Mark_NonSpacing)
            continue;
        else
            out += QLatin1Char('?');
    }
    return out;
}

QString SanitizeText(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        const bool keep = u == ' ' || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
        if (!keep)
            c = QLatin1Char('_');
    }
    return out;
}

bool HasHexLetter(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f'))
            return true;
        if (!(u >= '0' && u <= '9'))
            return false;
    }
    return false;
}

QString DoubleChars(const QString &text, const QString &set)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        out += c;
        if (set.contains(c))
            out += c;
    }
    return out;
}

bool IsValidIPv4(const QString &text)
{
    static const QRegularExpression dotted(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const auto m = dotted.match(text);
    if (!m.hasMatch())
        return false;
    for (int i = 1; i <= 4; ++i) {
        if (m.captured(i).toInt() > 255)
            return false;
    }
    return true;
}

quint32 ParseIPv4(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return 0;
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value |= (parts.at(i).trimmed().toUInt() & 0xFFu) << (8 * i);
    return value;
}

quint32 SwapIPv4(quint32 value)
{
    return ((value & 0xFFu) << 24) | ((value & 0xFF00u) << 8) | ((value >> 8) & 0xFF00u) | (value >> 24);
}

int SplitDnsPair(const QString &text, QString *first, QString *second)
{
    const QStringList parts = text.split(QLatin1Char(','));
    *first = parts.value(0).trimmed();
    *second = parts.size() > 1 ? parts.at(1).trimmed() : QString();
    return (first->isEmpty() ? 0 : 1) + (second->isEmpty() ? 0 : 1);
}

} // namespace zentro
