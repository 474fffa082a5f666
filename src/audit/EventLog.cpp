#include "audit/EventLog.h"

#include "app/Clock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zentro {

namespace {

constexpr qint64 EndingLength = 22;

// The file is Windows-1252 like the files of the installations before this
// one; characters it cannot hold are written as numeric references.
QByteArray toHtml(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + 16);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        switch (c) {
        case '&':
            out += "&amp;";
            continue;
        case '<':
            out += "&lt;";
            continue;
        case '>':
            out += "&gt;";
            continue;
        default:
            break;
        }
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            out.append(char(c));
        else
            out += "&#" + QByteArray::number(int(c)) + ';';
    }
    return out;
}

QString nowText()
{
    return Clock::now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

} // namespace

EventLog::EventLog(const QString &path, int fileSizeMillions)
    : m_path(path)
    , m_fileSizeMillions(fileSizeMillions)
{
}

QString EventLog::classOfKind(int kind)
{
    switch (kind) {
    case 0:
    case 1:
        return QStringLiteral("htmRedBold");
    case 2:
    case 3:
        return QStringLiteral("htmRed");
    case 4:
    case 5:
        return QStringLiteral("htmGreenBold");
    case 6:
    case 7:
        return QStringLiteral("htmBlack");
    case 8:
    case 9:
        return QStringLiteral("htmBlueBold");
    case 10:
    case 11:
        return QStringLiteral("htmYellow");
    case 12:
    case 13:
        return QStringLiteral("htmGreen");
    case 100:
    case 101:
        return QStringLiteral("htmLogTrans");
    default:
        return {};
    }
}

QByteArray EventLog::header()
{
    // Windows-1252 bytes; "\xBA" is the masculine ordinal, "\xC7\xC3" the "ÇÃ" of DESCRIÇÃO.
    static const QByteArray text =
        "<html>\r\n<head>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
        "<title>Logs de Eventos de Sistema</title>\r\n"
        "<style type=\"text/css\">\r\n"
        "<!--\r\n"
        ".htmLegendStyle { font-family: Arial, Helvetica, sans-serif; font-size: 9px; }\r\n"
        ".htmRedBold { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #FFFFFF; "
        "font-weight: bold; background-color: #FF0000; }\r\n"
        ".htmRed { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #FFFFFF; "
        "font-weight: bold; background-color: #FFAEB0; }\r\n"
        ".htmBlack { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #000000; "
        "background-color: #EFEFEF; }\r\n"
        ".htmBlueBold { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #000000; "
        "background-color: #98DDF3; }\r\n"
        ".htmYellow { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #000000; "
        "background-color: #FFFFC4; }\r\n"
        ".htmGreen { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #000000; "
        "background-color: #C2FCD3; }\r\n"
        ".htmGreenBold { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #FFFFFF; "
        "font-weight: bold; background-color: #21bc4f; }\r\n"
        ".htmLogTrans { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #FFFFFF; "
        "font-weight: bold; background-color: #330099; }\r\n"
        ".TableTitle { font-family: Arial, Helvetica, sans-serif; font-size: 12px; font-weight: bold; "
        "color: #FFFFFF; text-transform: uppercase; background-color: #333333; }\r\n"
        "-->\r\n"
        "</style>\r\n"
        "</head>\r\n<body>\r\n"
        "<table width=\"100%\" border=\"0\" cellspacing=\"1\" cellpadding=\"2\">\r\n"
        "<tr class=\"TableTitle\"><td><div align=\"center\">Logs de Eventos de Sistema - Zentro</div></td></tr>\r\n"
        "</table>\r\n"
        "<table width=\"100%\" border=\"0\" cellspacing=\"1\" cellpadding=\"2\" class=\"htmLegendStyle\">\r\n"
        "<tr><td width=\"3%\" class=\"htmBlack\">&nbsp;</td><td>Informa&ccedil;&atilde;o simples</td></tr>\r\n"
        "<tr><td width=\"3%\" class=\"htmBlueBold\">&nbsp;</td><td>Informa&ccedil;&atilde;o sobre o "
        "comportamento do sistema</td></tr>\r\n"
        "<tr><td width=\"3%\" class=\"htmGreenBold\">&nbsp;</td><td>Informa&ccedil;&atilde;o cr&iacute;tica "
        "sobre um item de um processo</td></tr>\r\n"
        "<tr><td width=\"3%\" class=\"htmGreen\">&nbsp;</td><td>Informa&ccedil;&atilde;o sobre um item de um "
        "processo</td></tr>\r\n"
        "<tr><td width=\"3%\" class=\"htmRed\">&nbsp;</td><td>Erro</td></tr>\r\n"
        "<tr><td width=\"3%\" class=\"htmRedBold\">&nbsp;</td><td>Erro cr&iacute;tico</td></tr>\r\n"
        "<tr><td width=\"3%\" class=\"htmYellow\">&nbsp;</td><td>Erro sobre um item, sem relev&acirc;ncia "
        "para o sistema</td></tr>\r\n"
        "<tr><td width=\"3%\" class=\"htmLogTrans\">&nbsp;</td><td>Erros de registros de logs de "
        "transa&ccedil;&otilde;es ou de seu processamento</td></tr>\r\n"
        "</table>\r\n"
        "<!-- NAO_APAGAR_O_COMENTARIO_ABAIXO -->\r\n"
        "<!-- CABEC_FIM -->\r\n"
        "<table width=\"100%\" border=\"0\" cellspacing=\"1\" cellpadding=\"2\">\r\n"
        "<tr class=\"TableTitle\">\r\n"
        "<td width=\"13%\"><div align=\"center\">Log N\xBA</div></td>\r\n"
        "<td width=\"21%\"><div align=\"center\">DATA / HORA</div></td>\r\n"
        "<td width=\"66%\"><div align=\"left\">&nbsp;DESCRI\xC7\xC3O</div></td>\r\n"
        "</tr>\r\n"
        "</table></body></html>";
    return text;
}

bool EventLog::logEvent(const QString &text, int kind, int destination, bool enabled)
{
    if (!enabled)
        return true;
    if (destination < 0 || destination > 2)
        return false;
    if (m_path.isEmpty())
        return false;
    const bool written = append(text, kind);
    if (written)
        rotateIfLarge();
    return written;
}

bool EventLog::append(const QString &text, int kind)
{
    const QByteArray path = QFile::encodeName(m_path);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // Others may read while we write, but only one writer at a time: a second
    // workstation's write fails rather than interleaving.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    if (file.size() < EndingLength) {
        // New (or truncated beyond use): start over with the header.
        if (!file.resize(0) || file.write(header()) != header().size())
            return false;
    }

    const bool connected = m_connectionOpen && m_connectionOpen();
    const quint64 number = connected ? ++m_number : 99999999;
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\u0001"));
    QByteArray cell = toHtml(body);
    cell.replace('\x01', "<br>\r\n");

    QByteArray row;
    row += "<tr class=\"" + classOfKind(kind).toLatin1() + "\">\r\n";
    row += "<td width=\"13%\"><div align=\"center\">" + QByteArray::number(number).rightJustified(9, '0') +
           "</div></td>\r\n";
    row += "<td width=\"21%\"><div align=\"center\">" + nowText().toLatin1() + "</div></td>\r\n";
    row += "<td width=\"66%\"><div align=\"left\">" + cell + "</div></td>\r\n";
    row += "</tr>\r\n";
    row += Ending;

    if (!file.seek(file.size() - EndingLength))
        return false;
    if (file.write(row) != row.size())
        return false;
    file.close();
    return true;
}

void EventLog::rotateIfLarge()
{
    const QFileInfo info(m_path);
    if (info.size() <= qint64(m_fileSizeMillions) * 1000000)
        return;
    const QString target = info.absolutePath() + QLatin1Char('/') +
                           Clock::now().toString(QStringLiteral("dd-MM-yyyy_HH-mm-ss")) + QLatin1Char('_') +
                           info.fileName();
    if (!QFile::rename(m_path, target))
        return;
    if (m_pump)
        m_pump();
    logEvent(QStringLiteral("Simples criação de novo arquivo de logs."), ItemInfo, 2);
}

} // namespace zentro
