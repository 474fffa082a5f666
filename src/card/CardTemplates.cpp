#include "card/CardTemplates.h"

#include "card/CardFiles.h"

namespace zentro {

namespace {

QByteArray bytes(std::initializer_list<quint8> list)
{
    QByteArray b;
    b.reserve(qsizetype(list.size()));
    for (quint8 v : list)
        b.append(char(v));
    return b;
}

} // namespace

QByteArray CardTemplates::initialisation()
{
    QByteArray c = bytes({0x00, 0x14, 0x00, 0x00, 0x10});
    c.append(16, '\0');
    return c;
}

bool CardTemplates::validKeys(const QList<QByteArray> &keys)
{
    if (keys.size() != CardFiles::KeyCount)
        return false;
    for (const QByteArray &k : keys) {
        if (k.size() != CardFiles::KeyLength)
            return false;
    }
    return true;
}

QByteArray CardTemplates::keyFile(const QList<QByteArray> &keys)
{
    QByteArray c = bytes({0x00, 0xE0, 0x00, 0x00, 0x40, 0x00, 0x00, 0x3F, 0x02, 0x0C, 0x00,
                          0x40, 0x00, 0xC0, 0x00, 0xC0, 0x00, 0xC0, 0x00, 0x00, 0x00});
    for (int i = 0; i < CardFiles::KeyCount; ++i) {
        c.append(bytes({0x80, 0x08, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00}));
        QByteArray key = i < keys.size() ? keys.at(i).left(CardFiles::KeyLength) : QByteArray();
        key.append(CardFiles::KeyLength - key.size(), '\0');
        c.append(key);
    }
    return c;
}

QByteArray CardTemplates::headerFile(quint16 kind)
{
    return bytes({0x00,
                  0xE0,
                  0x00,
                  0x00,
                  0x12,
                  0x00,
                  0x00,
                  0x3F,
                  0x40,
                  0x03,
                  0x00,
                  0x50,
                  0x00,
                  0x00,
                  0x00,
                  0xC0,
                  0x00,
                  0x00,
                  0x00,
                  0x00,
                  0x00,
                  quint8(kind & 0xFF),
                  quint8(kind >> 8)});
}

QByteArray CardTemplates::directoryFile()
{
    return bytes({0x00, 0xE0, 0x00, 0x00, 0x10, 0x00, 0x00, 0x3F, 0x41, 0x03, 0x00,
                  0x10, 0x10, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00});
}

QByteArray CardTemplates::dataFile(quint16 fileId, quint16 size)
{
    QByteArray c = bytes({0x00, 0xE0, 0x00, 0x00, 0x10, 0x00, 0x00, 0x3F, 0x07, 0x03, 0x00,
                          0x10, 0xC8, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00});
    c[8] = char(fileId & 0xFF);
    c[12] = char(size >> 8);
    c[13] = char(size & 0xFF);
    return c;
}

QByteArray CardTemplates::softwareChangeFile(quint16 fileId)
{
    QByteArray c = bytes({0x00, 0xE0, 0x00, 0x00, 0x10, 0x00, 0x00, 0x3F, 0x17, 0x03, 0x00,
                          0x30, 0x75, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    c[8] = char(fileId & 0xFF);
    return c;
}

} // namespace zentro
