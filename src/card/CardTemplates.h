#pragma once

#include <QByteArray>
#include <QList>

namespace zentro {

// The command APDUs that format a card: the initialisation that erases it and
// the CREATE FILE of each of its files. Their bytes are what the readers'
// cards expect; only the file identifier, the size of a data file and the
// keys of file 3F02h vary.
struct CardTemplates
{
    static constexpr int InitialisationLength = 21;
    static constexpr int KeyFileLength = 69;
    static constexpr int HeaderFileLength = 23;
    static constexpr int FileLength = 21;

    static QByteArray initialisation();
    // keys: three keys of 8 bytes, in order.
    static QByteArray keyFile(const QList<QByteArray> &keys);
    // kind: CardFiles::KindCollection or CardFiles::KindConfiguration.
    static QByteArray headerFile(quint16 kind);
    static QByteArray directoryFile();
    // A data file of the configuration and collection cards; the size goes
    // big-endian into bytes 12-13.
    static QByteArray dataFile(quint16 fileId, quint16 size = 51200);
    static QByteArray softwareChangeFile(quint16 fileId);

    static bool validKeys(const QList<QByteArray> &keys);
};

} // namespace zentro
