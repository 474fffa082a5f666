#include "users/Password.h"

#include "app/TextCodec.h"

#include <openssl/evp.h>

#include <memory>

namespace zentro {

bool HashPassword(const QString &fixed, const QString &nameAndId, const QString &password, QString *hash)
{
    // Each text goes in as its 8-bit characters, without terminator.
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha1(), nullptr) != 1)
        return false;
    for (const QString &part : {fixed, nameAndId, password}) {
        const QByteArray bytes = TextCodec::toCp1252(part);
        if (EVP_DigestUpdate(ctx.get(), bytes.constData(), size_t(bytes.size())) != 1)
            return false;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1 || length != 20)
        return false;
    *hash = QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex().toUpper());
    return true;
}

bool VerifyPassword(const QString &fixed, const QString &nameAndId, const QString &password, const QString &storedHash)
{
    QString hash;
    if (!HashPassword(fixed, nameAndId, password, &hash))
        return false;
    return hash == storedHash;
}

bool CheckPasswordRules(const QString &password)
{
    if (password.size() < 8)
        return false;
    bool letter = false;
    bool digit = false;
    for (const QChar c : password) {
        const char16_t u = c.unicode();
        letter = letter || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
        digit = digit || (u >= '0' && u <= '9');
    }
    return letter && digit;
}

} // namespace zentro
