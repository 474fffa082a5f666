#include "export/DesEcb.h"

#include "export/ImageError.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <memory>

namespace zentro {

namespace {

QString opensslError()
{
    char text[256] = {};
    ERR_error_string_n(ERR_get_error(), text, sizeof text);
    return QString::fromLatin1(text);
}

[[noreturn]] void fail(const QString &what)
{
    throw ImageError(QStringLiteral("DES"), QStringLiteral("Falha na cifra DES: %1 (%2)").arg(what, opensslError()));
}

} // namespace

DesEcb::DesEcb(QByteArrayView key)
    : m_key(key.toByteArray())
{
    if (m_key.size() != KeySize)
        throw ImageError(QStringLiteral("CHAVE_DES"),
                         QStringLiteral("A chave DES deve ter 8 bytes, tem %1").arg(m_key.size()));
    m_ctx = OSSL_LIB_CTX_new();
    if (m_ctx) {
        m_legacy = OSSL_PROVIDER_load(m_ctx, "legacy");
        m_default = OSSL_PROVIDER_load(m_ctx, "default");
        m_cipher = EVP_CIPHER_fetch(m_ctx, "DES-ECB", nullptr);
    }
    if (!m_cipher) {
        const QString error = opensslError();
        release();
        throw ImageError(QStringLiteral("DES"),
                         QStringLiteral("DES indisponível no OpenSSL (provedor legacy): %1").arg(error));
    }
}

DesEcb::~DesEcb()
{
    release();
}

void DesEcb::release()
{
    EVP_CIPHER_free(m_cipher);
    m_cipher = nullptr;
    if (m_default)
        OSSL_PROVIDER_unload(m_default);
    m_default = nullptr;
    if (m_legacy)
        OSSL_PROVIDER_unload(m_legacy);
    m_legacy = nullptr;
    OSSL_LIB_CTX_free(m_ctx);
    m_ctx = nullptr;
}

QByteArray DesEcb::encrypt(QByteArrayView plain) const
{
    return run(plain, true);
}

QByteArray DesEcb::decrypt(QByteArrayView cipher) const
{
    return run(cipher, false);
}

QByteArray DesEcb::run(QByteArrayView in, bool encrypt) const
{
    Q_ASSERT(in.size() % BlockSize == 0);
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    const auto *key = reinterpret_cast<const unsigned char *>(m_key.constData());
    if (!ctx || !EVP_CipherInit_ex2(ctx.get(), m_cipher, key, nullptr, encrypt ? 1 : 0, nullptr))
        fail(QStringLiteral("inicialização"));
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    QByteArray out(in.size(), '\0');
    int written = 0;
    if (!in.isEmpty() && !EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char *>(out.data()), &written,
                                           reinterpret_cast<const unsigned char *>(in.data()), int(in.size())))
        fail(QStringLiteral("cifragem"));
    if (written != in.size())
        fail(QStringLiteral("tamanho"));
    return out;
}

} // namespace zentro
