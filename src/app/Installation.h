#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace zentro {

// One entry of the card key table the readers are configured with.
struct CardKey
{
    QString name; // at most 24 characters
    quint16 number = 0;
    quint16 value1 = 0;
    quint16 value2 = 0;
    QByteArray key;    // 16 bytes
    QByteArray value3; // 3 bytes, in text order
    QByteArray value4; // 2 bytes
};

// What an installation is: the owner's identity, its keys and its network.
// Read from "instalacao.ini" in the program folder; the embedded default
// starts from data/instalacao-demo.ini.
struct Installation
{
    quint16 ownerId = 0;        // CLIKV_ID
    QString ownerTradeName;     // NOME_FANTASIA
    QByteArray desKey;          // 8 bytes, [SEGURANCA] CHAVE_DES
    QList<QByteArray> fileKeys; // three 8-byte keys of file 3F02h
    quint32 fallbackServer = 0; // [REDE] SERVIDOR_RESERVA, four bytes in text order; 0 when absent
    QString fallbackServerText;
    QList<CardKey> cardKeys; // [CHAVE_CARTAO_1] ... in order, at most 128

    static constexpr const char *FileName = "instalacao.ini";

    // Reads and checks the file. On failure answers nothing and puts in
    // *error a message naming the file and the line.
    static std::optional<Installation> load(const QString &path, QString *error);
    // The same from the file's bytes; name is what the messages call the file.
    static std::optional<Installation> parse(const QByteArray &bytes, const QString &name, QString *error);
};

} // namespace zentro
