#include "card/CardModel.h"

#include "card/CardFiles.h"
#include "card/CardTemplates.h"

#include <QDataStream>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>

namespace zentro {

namespace {

constexpr char Magic[] = "ZENTRO-CARDSIM";
constexpr quint16 FormatVersion = 1;
constexpr int MaxAtrLength = 33;
constexpr int MaxSerialLength = 32;
constexpr int MaxFiles = 1024;

QByteArray sw(quint16 status)
{
    QByteArray b(2, '\0');
    b[0] = char(status >> 8);
    b[1] = char(status & 0xFF);
    return b;
}

QByteArray withSw(QByteArray data, quint16 status)
{
    data.append(sw(status));
    return data;
}

quint8 at(const QByteArray &b, qsizetype i)
{
    return quint8(b.at(i));
}

// A command with data: CLA INS P1 P2 Lc and exactly Lc bytes.
bool hasExactData(const QByteArray &c)
{
    return c.size() > 5 && at(c, 4) != 0 && c.size() == 5 + at(c, 4);
}

} // namespace

CardModel::CardModel(quint32 capacity)
    : m_capacity(capacity)
    , m_atr(defaultAtr())
{
    // Seven bytes, as the double-size UIDs of contactless cards.
    quint32 words[2];
    QRandomGenerator::global()->fillRange(words);
    m_serial = QByteArray(reinterpret_cast<const char *>(words), 7);
}

QByteArray CardModel::defaultAtr()
{
    // Direct convention; TA1 95h; T=1 offered; eight historical bytes; TCK.
    QByteArray atr = QByteArray::fromHex("3BB895008131FE45");
    atr.append("ZENTROCD");
    quint8 tck = 0;
    for (qsizetype i = 1; i < atr.size(); ++i)
        tck ^= at(atr, i);
    atr.append(char(tck));
    return atr;
}

quint32 CardModel::usedSpace() const
{
    quint32 used = 0;
    for (const auto &[id, file] : m_files)
        used += quint32(file.data.size()) + FileOverhead;
    return used;
}

void CardModel::reset()
{
    m_selected = -1;
    m_pending.clear();
}

void CardModel::erase()
{
    m_files.clear();
    m_order.clear();
    m_selected = -1;
    m_pending.clear();
}

int CardModel::fileSize(quint16 id) const
{
    const auto it = m_files.find(id);
    return it == m_files.end() ? -1 : int(it->second.data.size());
}

QByteArray CardModel::fileData(quint16 id) const
{
    const auto it = m_files.find(id);
    return it == m_files.end() ? QByteArray() : it->second.data;
}

bool CardModel::writeFile(quint16 id, int offset, const QByteArray &data)
{
    const auto it = m_files.find(id);
    if (it == m_files.end() || offset < 0 || qsizetype(offset) + data.size() > it->second.data.size())
        return false;
    std::copy(data.cbegin(), data.cend(), it->second.data.begin() + offset);
    return true;
}

QByteArray CardModel::process(const QByteArray &command)
{
    if (command.size() < 4) {
        m_pending.clear();
        return sw(SwWrongLength);
    }
    const quint8 cla = at(command, 0);
    const quint8 ins = at(command, 1);
    if (!(cla == 0x00 && ins == 0xC0))
        m_pending.clear();

    if (cla == 0xFF)
        return ins == 0xCA ? getData(command) : sw(SwUnknownInstruction);
    if (cla != 0x00)
        return sw(SwUnknownClass);

    switch (ins) {
    case 0x14:
        if (!hasExactData(command) || at(command, 4) != 0x10)
            return sw(SwWrongLength);
        erase();
        return sw(SwOk);
    case 0xE0:
        return create(command);
    case 0xA4:
        return select(command);
    case 0xC0:
        return getResponse(command);
    case 0xB0:
        return readBinary(command);
    case 0xD6:
        return updateBinary(command);
    default:
        return sw(SwUnknownInstruction);
    }
}

QByteArray CardModel::create(const QByteArray &c)
{
    // Data: 16 descriptor bytes (identifier at 2-3 big-endian, type at 4,
    // size plus 16 at 6-7 little-endian), then the file's first bytes.
    if (!hasExactData(c) || at(c, 4) < 16)
        return sw(SwWrongLength);
    const QByteArray data = c.mid(5);
    const quint16 id = quint16(at(data, 2) << 8 | at(data, 3));
    const int stored = at(data, 6) | at(data, 7) << 8;
    if (stored < FileOverhead)
        return sw(SwWrongData);
    const int size = stored - FileOverhead;
    const QByteArray initial = data.mid(16);
    if (initial.size() > size)
        return sw(SwWrongData);
    if (hasFile(id))
        return sw(SwFileExists);
    if (quint64(usedSpace()) + quint64(stored) > m_capacity)
        return sw(SwNoSpace);
    File f;
    f.type = at(data, 4);
    f.data = QByteArray(size, '\0');
    std::copy(initial.cbegin(), initial.cend(), f.data.begin());
    m_files.emplace(id, std::move(f));
    m_order.append(id);
    return sw(SwOk);
}

QByteArray CardModel::fileInfo(quint16 id) const
{
    const File &f = m_files.at(id);
    QByteArray info(FileInfoLength, '\0');
    info[0] = char(id >> 8);
    info[1] = char(id & 0xFF);
    info[2] = char(f.type);
    const int stored = int(f.data.size()) + FileOverhead;
    info[10] = char(stored & 0xFF);
    info[11] = char(stored >> 8);
    return info;
}

QByteArray CardModel::select(const QByteArray &c)
{
    // 00 A4 00 P2 02 FH FL, with an optional Le when P2 asks for information.
    if (c.size() < 7 || at(c, 4) != 2 || c.size() > 8)
        return sw(SwWrongLength);
    const quint8 p2 = at(c, 3);
    if (at(c, 2) != 0x00 || (p2 != 0x0C && p2 != 0x00))
        return sw(SwWrongP1P2);
    if (p2 == 0x0C && c.size() != 7)
        return sw(SwWrongLength);
    const quint16 id = quint16(at(c, 5) << 8 | at(c, 6));
    if (!hasFile(id))
        return sw(SwFileNotFound);
    m_selected = id;
    if (p2 == 0x0C)
        return sw(SwOk);
    m_pending = fileInfo(id);
    return sw(quint16(0x6100 | m_pending.size()));
}

QByteArray CardModel::getResponse(const QByteArray &c)
{
    if (c.size() != 5)
        return sw(SwWrongLength);
    if (m_pending.isEmpty())
        return sw(SwNothingPending);
    const int le = at(c, 4) == 0 ? 256 : at(c, 4);
    if (le > m_pending.size())
        return sw(quint16(0x6C00 | m_pending.size()));
    const QByteArray answer = m_pending.left(le);
    m_pending.remove(0, le);
    if (!m_pending.isEmpty())
        return withSw(answer, quint16(0x6100 | m_pending.size()));
    return withSw(answer, SwOk);
}

QByteArray CardModel::readBinary(const QByteArray &c)
{
    if (c.size() != 5)
        return sw(SwWrongLength);
    if (m_selected < 0)
        return sw(SwNoCurrentFile);
    const QByteArray &data = m_files.at(quint16(m_selected)).data;
    const int offset = at(c, 2) << 8 | at(c, 3);
    const int le = at(c, 4) == 0 ? 256 : at(c, 4);
    if (offset > data.size())
        return sw(SwOutsideFile);
    if (offset + le > data.size())
        return withSw(data.mid(offset), SwEndOfFile);
    return withSw(data.mid(offset, le), SwOk);
}

QByteArray CardModel::updateBinary(const QByteArray &c)
{
    if (!hasExactData(c))
        return sw(SwWrongLength);
    if (m_selected < 0)
        return sw(SwNoCurrentFile);
    QByteArray &data = m_files.at(quint16(m_selected)).data;
    const int offset = at(c, 2) << 8 | at(c, 3);
    const int lc = at(c, 4);
    if (offset > data.size())
        return sw(SwOutsideFile);
    if (offset + lc > data.size())
        return sw(SwNoSpace);
    std::copy(c.cbegin() + 5, c.cend(), data.begin() + offset);
    return sw(SwOk);
}

QByteArray CardModel::getData(const QByteArray &c)
{
    if (c.size() != 5)
        return sw(SwWrongLength);
    if (at(c, 2) != 0x00 || at(c, 3) != 0x00)
        return sw(SwNotSupported);
    const int le = at(c, 4);
    if (le != 0 && le < m_serial.size())
        return sw(quint16(0x6C00 | m_serial.size()));
    return withSw(m_serial, SwOk);
}

bool CardModel::save(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Não foi possível criar %1: %2").arg(path, file.errorString());
        return false;
    }
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_4);
    out << QByteArray(Magic) << FormatVersion << m_capacity << m_atr << m_serial << quint32(m_order.size());
    for (quint16 id : m_order) {
        const File &f = m_files.at(id);
        out << id << f.type << f.data;
    }
    if (out.status() != QDataStream::Ok || !file.commit()) {
        *error = QStringLiteral("Não foi possível gravar %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool CardModel::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Não foi possível abrir %1: %2").arg(path, file.errorString());
        return false;
    }
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_4);
    const QString invalid = QStringLiteral("%1 não é um arquivo de cartão válido").arg(path);

    QByteArray magic;
    quint16 version = 0;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != Magic || version != FormatVersion) {
        *error = invalid;
        return false;
    }
    quint32 capacity = 0, count = 0;
    QByteArray atr, serial;
    in >> capacity >> atr >> serial >> count;
    if (in.status() != QDataStream::Ok || capacity > MaxCapacity || atr.size() > MaxAtrLength ||
        serial.size() > MaxSerialLength || count > MaxFiles) {
        *error = invalid;
        return false;
    }
    std::map<quint16, File> files;
    QList<quint16> order;
    for (quint32 i = 0; i < count; ++i) {
        quint16 id = 0;
        File f;
        in >> id >> f.type >> f.data;
        if (in.status() != QDataStream::Ok || files.count(id) != 0 || f.data.size() > 0xFFFF - FileOverhead) {
            *error = invalid;
            return false;
        }
        files.emplace(id, std::move(f));
        order.append(id);
    }
    if (!in.atEnd()) {
        *error = invalid;
        return false;
    }
    m_capacity = capacity;
    m_atr = atr;
    m_serial = serial;
    m_files = std::move(files);
    m_order = order;
    m_selected = -1;
    m_pending.clear();
    return true;
}

QByteArray CardModel::collectionImage() const
{
    QByteArray image(CollectionImageSize, '\0');
    auto put = [&](quint16 id, qsizetype at, qsizetype length) {
        const QByteArray d = fileData(id).left(length);
        std::copy(d.cbegin(), d.cend(), image.begin() + at);
    };
    put(CardFiles::Header, 0, CardFiles::HeaderSize);
    put(CardFiles::Directory, CardFiles::HeaderSize, CardFiles::DirectorySize);
    const qsizetype area = CardFiles::HeaderSize + CardFiles::DirectorySize;
    for (int i = 0; i < CardFiles::DataAreaFiles; ++i)
        put(CardFiles::dataFileId(i), area + qsizetype(i) * CardFiles::DataFileSize, CardFiles::DataFileSize);
    return image;
}

bool CardModel::loadCollectionImage(const QByteArray &image, QString *error)
{
    if (image.size() != CollectionImageSize) {
        *error = QStringLiteral("A imagem de um cartão de coleta tem %1 bytes; esta tem %2.")
                     .arg(CollectionImageSize)
                     .arg(image.size());
        return false;
    }
    // The reader firmware never reads the keys back; a simulated card keeps zeros.
    QList<QByteArray> commands{CardTemplates::initialisation(), CardTemplates::keyFile({}),
                               CardTemplates::headerFile(CardFiles::KindCollection), CardTemplates::directoryFile()};
    for (int i = 0; i < CardFiles::DataAreaFiles; ++i)
        commands.append(CardTemplates::dataFile(CardFiles::dataFileId(i)));

    const quint32 needed = quint32(CardFiles::KeyCount * CardFiles::KeyRecordSize + CardFiles::HeaderSize +
                                   CardFiles::DirectorySize + CardFiles::DataAreaSize) +
                           quint32(commands.size() - 1) * FileOverhead;
    if (m_capacity < needed)
        m_capacity = needed;
    for (const QByteArray &c : commands) {
        const QByteArray answer = process(c);
        if (answer != sw(SwOk)) {
            *error = QStringLiteral("O cartão recusou a formatação (%1).")
                         .arg(QString::fromLatin1(answer.toHex().toUpper()));
            return false;
        }
    }
    writeFile(CardFiles::Header, 0, image.left(CardFiles::HeaderSize));
    writeFile(CardFiles::Directory, 0, image.mid(CardFiles::HeaderSize, CardFiles::DirectorySize));
    const qsizetype area = CardFiles::HeaderSize + CardFiles::DirectorySize;
    for (int i = 0; i < CardFiles::DataAreaFiles; ++i)
        writeFile(CardFiles::dataFileId(i), 0,
                  image.mid(area + qsizetype(i) * CardFiles::DataFileSize, CardFiles::DataFileSize));
    return true;
}

} // namespace zentro
