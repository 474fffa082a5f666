#pragma once

#include <QString>

#include <stdexcept>

namespace zentro {

// A value that cannot be put into a configuration image (a text longer than
// its field, a number outside its field). The image builder stops the
// preparation and shows message() to the operator.
class ImageError : public std::runtime_error
{
public:
    ImageError(const QString &field, const QString &message)
        : std::runtime_error(message.toStdString())
        , m_field(field)
        , m_message(message)
    {
    }

    // The column or record the value came from, e.g. "DISPLAY_NAME".
    const QString &field() const { return m_field; }
    const QString &message() const { return m_message; }

private:
    QString m_field;
    QString m_message;
};

} // namespace zentro
