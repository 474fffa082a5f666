#pragma once

#include <QByteArray>
#include <QByteArrayView>

typedef struct ossl_lib_ctx_st OSSL_LIB_CTX;
typedef struct ossl_provider_st OSSL_PROVIDER;
typedef struct evp_cipher_st EVP_CIPHER;

namespace zentro {

// DES (FIPS 46) in ECB mode, each 8-byte block on its own, under one 64-bit
// key. OpenSSL 3 keeps DES in its legacy provider; it is loaded into a
// library context of our own, so the rest of the process keeps OpenSSL's
// defaults.
class DesEcb
{
public:
    static constexpr qsizetype KeySize = 8;
    static constexpr qsizetype BlockSize = 8;

    // Throws ImageError when the key is not 8 bytes or OpenSSL offers no DES.
    explicit DesEcb(QByteArrayView key);
    ~DesEcb();
    DesEcb(const DesEcb &) = delete;
    DesEcb &operator=(const DesEcb &) = delete;

    // The length must be a multiple of 8.
    QByteArray encrypt(QByteArrayView plain) const;
    QByteArray decrypt(QByteArrayView cipher) const;

private:
    QByteArray run(QByteArrayView in, bool encrypt) const;
    void release();

    QByteArray m_key;
    OSSL_LIB_CTX *m_ctx = nullptr;
    OSSL_PROVIDER *m_legacy = nullptr;
    OSSL_PROVIDER *m_default = nullptr;
    EVP_CIPHER *m_cipher = nullptr;
};

} // namespace zentro
