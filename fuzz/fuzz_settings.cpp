// The two settings files a workstation reads at start-up, on arbitrary bytes:
// Zentro.ini and instalacao.ini. Whatever the bytes, reading ends, and what
// is accepted holds to the installation file's rules.

#include "app/Installation.h"
#include "app/Settings.h"

#include <cstdint>
#include <cstdlib>

using namespace zentro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const ProfileFile profile = ProfileFile::parse(bytes);
    for (const QString &section : profile.sections()) {
        if (profile.value(section, QStringLiteral("DATASOURCE"), QStringLiteral("Zentro")).isNull())
            std::abort();
    }

    QString error;
    const auto installation = Installation::parse(bytes, QStringLiteral("instalacao.ini"), &error);
    if (!installation) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (installation->desKey.size() != 8 || installation->fileKeys.size() != 3 || installation->cardKeys.size() > 128)
        std::abort();
    for (const CardKey &key : installation->cardKeys) {
        if (key.key.size() != 16 || key.value3.size() != 3 || key.value4.size() != 2 || key.name.size() > 24)
            std::abort();
    }
    return 0;
}
