#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <map>

namespace zentro {

// A smart card of this system as the program sees it: a flat file system of
// files named by two-byte identifiers inside a memory of fixed capacity, and
// the command APDUs the program sends to it. It backs the in-process PC/SC
// service of the tests and the virtual card that plugs into pcscd.
//
// Every file takes its size plus 16 bytes of the card's memory; CREATE FILE
// carries that sum, little-endian, in its data bytes 6-7 (command bytes
// 11-12), and the file information returned after a SELECT gives it back in
// bytes 10-11.
class CardModel
{
public:
    static constexpr quint32 DefaultCapacity = 1048576;
    static constexpr quint32 MaxCapacity = 16 * 1048576;
    static constexpr int FileOverhead = 16;
    static constexpr int FileInfoLength = 16;
    static constexpr qsizetype CollectionImageSize = 64 + 4096 + 819200;

    // Status words the card answers.
    enum Status : quint16 {
        SwOk = 0x9000,
        SwEndOfFile = 0x6282,
        SwWrongLength = 0x6700,
        SwNoCurrentFile = 0x6986,
        SwNothingPending = 0x6985,
        SwWrongData = 0x6A80,
        SwNotSupported = 0x6A81,
        SwFileNotFound = 0x6A82,
        SwNoSpace = 0x6A84,
        SwWrongP1P2 = 0x6A86,
        SwFileExists = 0x6A89,
        SwOutsideFile = 0x6B00,
        SwUnknownInstruction = 0x6D00,
        SwUnknownClass = 0x6E00,
    };

    explicit CardModel(quint32 capacity = DefaultCapacity);

    // Answers one command APDU: the answer data followed by SW1 SW2.
    QByteArray process(const QByteArray &command);

    quint32 capacity() const { return m_capacity; }
    void setCapacity(quint32 capacity) { m_capacity = capacity; }
    quint32 usedSpace() const;

    QByteArray atr() const { return m_atr; }
    void setAtr(const QByteArray &atr) { m_atr = atr; }
    static QByteArray defaultAtr();
    // What FF CA 00 00 00 answers.
    QByteArray serial() const { return m_serial; }
    void setSerial(const QByteArray &serial) { m_serial = serial; }

    // A reset or power cycle: no file selected, no answer pending.
    void reset();
    // What the initialisation command does: every file is gone.
    void erase();
    // Files in the order they were created.
    QList<quint16> fileIds() const { return m_order; }
    bool hasFile(quint16 id) const { return m_files.count(id) != 0; }
    // -1 when the card has no such file.
    int fileSize(quint16 id) const;
    QByteArray fileData(quint16 id) const;
    // Writes straight into a file, as an image load does; false when the
    // file is missing or the data does not fit.
    bool writeFile(quint16 id, int offset, const QByteArray &data);

    // The card file of the simulator: capacity, ATR, serial and every file.
    bool save(const QString &path, QString *error) const;
    bool load(const QString &path, QString *error);

    // A collection card as the log import keeps it: file 3F40h, file 3F41h,
    // then the 819200-byte log area read from the data files.
    QByteArray collectionImage() const;
    // Formats this card as a collection card and fills it from an image. The
    // capacity grows when the image needs more than the card has.
    bool loadCollectionImage(const QByteArray &image, QString *error);

private:
    struct File
    {
        quint8 type = 0;
        QByteArray data;
    };

    QByteArray create(const QByteArray &command);
    QByteArray select(const QByteArray &command);
    QByteArray getResponse(const QByteArray &command);
    QByteArray readBinary(const QByteArray &command);
    QByteArray updateBinary(const QByteArray &command);
    QByteArray getData(const QByteArray &command);
    QByteArray fileInfo(quint16 id) const;

    quint32 m_capacity;
    QByteArray m_atr;
    QByteArray m_serial;
    std::map<quint16, File> m_files;
    QList<quint16> m_order;
    int m_selected = -1;  // identifier of the current file, -1 when none
    QByteArray m_pending; // answer waiting for GET RESPONSE
};

} // namespace zentro
