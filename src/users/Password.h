#pragma once

#include <QString>

namespace zentro {

// The fixed text every password hash starts with.
inline constexpr const char *PasswordSalt = "MtRzK";

// SHA-1 of the fixed text, the user name followed by the user's ID, and the
// password, as 40 upper-case hexadecimal characters. Name and ID take part
// so that the same password gives different hashes for different users.
bool HashPassword(const QString &fixed, const QString &nameAndId, const QString &password, QString *hash);
bool VerifyPassword(const QString &fixed, const QString &nameAndId, const QString &password, const QString &storedHash);
// At least 8 characters, at least one letter A-Z/a-z and one digit.
bool CheckPasswordRules(const QString &password);

} // namespace zentro
