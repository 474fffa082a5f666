#include "app/Installation.h"

#include "app/Helpers.h"

#include <QBuffer>
#include <QFile>
#include <QMap>
#include <QRegularExpression>

#include <ini.h>

namespace zentro {

namespace {

struct Entry
{
    QString value;
    int line;
};

// Sections and keys in file order, keys upper-cased; each value remembers its
// line so that a bad value can be pointed at.
struct Parsed
{
    QList<QString> sectionOrder;
    QMap<QString, QMap<QString, Entry>> sections;
    int line = 0;
};

// libinih does not pass line numbers to the handler in Debian's build; count
// them ourselves by reading line by line.
char *readLine(char *str, int num, void *stream)
{
    auto *s = static_cast<std::pair<QIODevice *, Parsed *> *>(stream);
    const QByteArray line = s->first->readLine(num - 1);
    if (line.isEmpty())
        return nullptr;
    ++s->second->line;
    memcpy(str, line.constData(), size_t(line.size()));
    str[line.size()] = '\0';
    return str;
}

int handler(void *user, const char *section, const char *name, const char *value)
{
    auto *s = static_cast<std::pair<QIODevice *, Parsed *> *>(user);
    Parsed &p = *s->second;
    const QString sec = QString::fromUtf8(section).trimmed().toUpper();
    if (!p.sections.contains(sec))
        p.sectionOrder << sec;
    QMap<QString, Entry> &keys = p.sections[sec];
    const QString key = QString::fromUtf8(name).trimmed().toUpper();
    if (!keys.contains(key))
        keys.insert(key, {QString::fromUtf8(value).trimmed(), p.line});
    return 1;
}

class Checker
{
public:
    Checker(const QString &path, const Parsed &parsed)
        : m_path(path)
        , m_parsed(parsed)
    {
    }

    QString error;

    bool has(const QString &section, const QString &key) const
    {
        return m_parsed.sections.value(section).contains(key);
    }

    // Value of a required key; records the error when missing.
    std::optional<Entry> require(const QString &section, const QString &key)
    {
        const auto sec = m_parsed.sections.constFind(section);
        if (sec == m_parsed.sections.constEnd() || !sec->contains(key)) {
            fail(0, QStringLiteral("falta a chave %1 na seção [%2]").arg(key, section));
            return std::nullopt;
        }
        return sec->value(key);
    }

    bool fail(int line, const QString &what)
    {
        if (error.isEmpty()) {
            error = line > 0
                        ? QStringLiteral("Arquivo de instalação \"%1\", linha %2: %3.").arg(m_path).arg(line).arg(what)
                        : QStringLiteral("Arquivo de instalação \"%1\": %2.").arg(m_path, what);
        }
        return false;
    }

    std::optional<QByteArray> hex(const QString &section, const QString &key, int bytes)
    {
        const auto e = require(section, key);
        if (!e)
            return std::nullopt;
        static const QRegularExpression hexOnly(QStringLiteral("^[0-9A-Fa-f]*$"));
        if (e->value.size() != bytes * 2 || !hexOnly.match(e->value).hasMatch()) {
            fail(e->line, QStringLiteral("%1 deve ter %2 dígitos hexadecimais").arg(key).arg(bytes * 2));
            return std::nullopt;
        }
        return QByteArray::fromHex(e->value.toLatin1());
    }

    std::optional<quint16> u16(const QString &section, const QString &key)
    {
        const auto e = require(section, key);
        if (!e)
            return std::nullopt;
        bool ok = false;
        const uint v = e->value.toUInt(&ok, 10);
        if (!ok || v > 65535) {
            fail(e->line, QStringLiteral("%1 deve ser um número de 0 a 65535").arg(key));
            return std::nullopt;
        }
        return quint16(v);
    }

private:
    QString m_path;
    const Parsed &m_parsed;
};

} // namespace

std::optional<Installation> Installation::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Arquivo de instalação \"%1\" não pôde ser lido: %2.").arg(path, file.errorString());
        return std::nullopt;
    }
    return parse(file.readAll(), path, error);
}

std::optional<Installation> Installation::parse(const QByteArray &bytes, const QString &path, QString *error)
{
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    Parsed parsed;
    std::pair<QIODevice *, Parsed *> stream{&file, &parsed};
    const int rc = ini_parse_stream(readLine, &stream, handler, &stream);
    if (rc != 0) {
        *error = rc > 0 ? QStringLiteral("Arquivo de instalação \"%1\", linha %2: linha inválida.").arg(path).arg(rc)
                        : QStringLiteral("Arquivo de instalação \"%1\" não pôde ser lido.").arg(path);
        return std::nullopt;
    }

    Checker c(path, parsed);
    Installation inst;
    if (const auto id = c.u16(QStringLiteral("PROPRIETARIO"), QStringLiteral("ID")))
        inst.ownerId = *id;
    if (const auto name = c.require(QStringLiteral("PROPRIETARIO"), QStringLiteral("NOME_FANTASIA"))) {
        if (name->value.isEmpty() || name->value.size() > 100)
            c.fail(name->line, QStringLiteral("NOME_FANTASIA deve ter de 1 a 100 caracteres"));
        inst.ownerTradeName = name->value;
    }
    if (const auto des = c.hex(QStringLiteral("SEGURANCA"), QStringLiteral("CHAVE_DES"), 8))
        inst.desKey = *des;
    for (int i = 1; i <= 3; ++i) {
        if (const auto k = c.hex(QStringLiteral("SEGURANCA"), QStringLiteral("CHAVE_ARQUIVO_%1").arg(i), 8))
            inst.fileKeys << *k;
    }
    if (c.has(QStringLiteral("REDE"), QStringLiteral("SERVIDOR_RESERVA"))) {
        const auto e = c.require(QStringLiteral("REDE"), QStringLiteral("SERVIDOR_RESERVA"));
        if (!e->value.isEmpty()) {
            if (!IsValidIPv4(e->value))
                c.fail(e->line, QStringLiteral("SERVIDOR_RESERVA deve ser um endereço IPv4 (a.b.c.d)"));
            inst.fallbackServer = ParseIPv4(e->value);
            inst.fallbackServerText = e->value;
        }
    }

    // The card key table: [CHAVE_CARTAO_1], [CHAVE_CARTAO_2], ... without gaps.
    static const QRegularExpression keySection(QStringLiteral("^CHAVE_CARTAO_(\\d+)$"));
    int expected = 1;
    for (const QString &section : parsed.sectionOrder) {
        const auto m = keySection.match(section);
        if (!m.hasMatch())
            continue;
        const int n = m.captured(1).toInt();
        const int line = parsed.sections.value(section).isEmpty() ? 0 : parsed.sections.value(section).first().line;
        if (n != expected || n > 128) {
            c.fail(line, n > 128
                             ? QStringLiteral("no máximo 128 chaves de cartão")
                             : QStringLiteral("a seção [%1] deveria ser [CHAVE_CARTAO_%2]").arg(section).arg(expected));
            break;
        }
        ++expected;
        CardKey key;
        if (const auto name = c.require(section, QStringLiteral("NOME"))) {
            if (name->value.size() > 24)
                c.fail(name->line, QStringLiteral("NOME deve ter no máximo 24 caracteres"));
            key.name = name->value;
        }
        if (const auto v = c.u16(section, QStringLiteral("NUMERO")))
            key.number = *v;
        if (const auto v = c.u16(section, QStringLiteral("VALOR_1")))
            key.value1 = *v;
        if (const auto v = c.u16(section, QStringLiteral("VALOR_2")))
            key.value2 = *v;
        if (const auto v = c.hex(section, QStringLiteral("CHAVE"), 16))
            key.key = *v;
        if (const auto v = c.hex(section, QStringLiteral("VALOR_3"), 3))
            key.value3 = *v;
        if (const auto v = c.hex(section, QStringLiteral("VALOR_4"), 2))
            key.value4 = *v;
        inst.cardKeys << key;
    }

    if (!c.error.isEmpty()) {
        *error = c.error;
        return std::nullopt;
    }
    return inst;
}

} // namespace zentro
