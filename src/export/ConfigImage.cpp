#include "export/ConfigImage.h"

#include <cstring>

namespace zentro {

namespace {

quint32 alignUp(quint32 offset)
{
    return (offset + ConfigImage::BlockAlign - 1) / ConfigImage::BlockAlign * ConfigImage::BlockAlign;
}

} // namespace

ConfigImage::ConfigImage()
    : m_bytes(DataOffset + MaxDataLength, '\0')
{
}

void ConfigImage::skipTo(quint32 offset)
{
    Q_ASSERT(offset % BlockAlign == 0 && offset <= MaxDataLength);
    m_writePos = qMax(m_writePos, offset);
}

std::optional<quint16> ConfigImage::addBlock(BlockType type, std::initializer_list<QByteArrayView> body)
{
    qint64 length = 0;
    for (const QByteArrayView piece : body)
        length += piece.size();
    if (length > ImageBlockHeader::MaxBodyLength || m_writePos + ImageBlockHeader::Size + length > MaxDataLength)
        return std::nullopt;

    char *out = m_bytes.data() + DataOffset + m_writePos;
    const QByteArray header = ImageBlockHeader::encode(type, body);
    std::memcpy(out, header.constData(), size_t(header.size()));
    out += header.size();
    for (const QByteArrayView piece : body) {
        if (!piece.isEmpty())
            std::memcpy(out, piece.data(), size_t(piece.size()));
        out += piece.size();
    }

    const auto address = quint16(m_writePos / BlockAlign);
    m_writePos = alignUp(m_writePos + quint32(ImageBlockHeader::Size + length));
    return address;
}

bool ConfigImage::addEntry(const ImageDirEntry &entry)
{
    if (m_entries >= MaxEntries)
        return false;
    const QByteArray bytes = entry.encode();
    std::memcpy(m_bytes.data() + DirectoryOffset + m_entries * ImageDirEntry::Size, bytes.constData(),
                size_t(bytes.size()));
    ++m_entries;
    return true;
}

void ConfigImage::finish(const ImageHeader &header)
{
    const QByteArray h = header.encode();
    std::memcpy(m_bytes.data(), h.constData(), size_t(h.size()));
    const QByteArray t = header.encodeTrailer();
    std::memcpy(m_bytes.data() + TrailerOffset, t.constData(), size_t(t.size()));
}

QByteArray ConfigImage::image() const
{
    return m_bytes.first(DataOffset + m_writePos);
}

QByteArray ConfigImage::cfgFile() const
{
    QByteArray file = image();
    const qsizetype rest = file.size() % CfgFileUnit;
    if (rest != 0)
        file.append(CfgFileUnit - rest, '\0');
    return file;
}

ConfigImage::CardParts ConfigImage::cardParts() const
{
    CardParts parts;
    parts.header = m_bytes.sliced(CardParts::HeaderOffset, ImageHeader::Size - CardParts::HeaderOffset);
    parts.directory = m_bytes.sliced(DirectoryOffset, DataOffset - DirectoryOffset);
    parts.data = m_bytes.sliced(DataOffset, m_writePos);
    return parts;
}

} // namespace zentro
