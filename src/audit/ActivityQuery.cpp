#include "audit/ActivityQuery.h"

#include "app/AppContext.h"
#include "db/Sql.h"

#include <QHash>

#include <xlsxwriter.h>

namespace zentro {

namespace {

QString dateText(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

QString ActivitySql(const ActivityFilter &f)
{
    // Dates go to the server as 'YYYY-MM-DD', the form it reads as a date.
    const QString from = sql::date(f.from);
    const QString to = sql::date(f.to);
    QString user;
    if (f.userId >= 0)
        user = QStringLiteral(" and l.log_usu =  ") + QString::number(f.userId) + QStringLiteral(" ");
    const QString hidden = f.hideServiceUser ? QStringLiteral(" and L.log_usu <> 2 ") : QString();

    if (!f.complete) {
        return QStringLiteral("select * from TAB_LOG L where L.LOG_DT_INI >= ") + from +
               QStringLiteral(" and  L.LOG_DT_INI <= ") + to + user + hidden +
               QStringLiteral(" order by L.LOG_NUM desc");
    }
    QString routine;
    if (f.routine >= 0) {
        routine = QStringLiteral(" and MU.MOV_ROTINA = ") + QString::number(f.routine);
    } else if (!f.groupRoutines.isEmpty()) {
        QStringList codes;
        for (int c : f.groupRoutines)
            codes << QString::number(c);
        routine = QStringLiteral(" AND MU.MOV_ROTINA IN (") + codes.join(QStringLiteral(", ")) + QStringLiteral(" ) ");
    }
    QString items;
    if (f.clientId >= 0)
        items += QStringLiteral(" and  MU.MOV_cliente = ") + QString::number(f.clientId);
    if (f.readerId >= 0)
        items += QStringLiteral(" and  MU.MOV_leitor = ") + QString::number(f.readerId);
    if (f.consumerId >= 0)
        items += QStringLiteral(" and  MU.MOV_CONSU = ") + QString::number(f.consumerId);
    return QStringLiteral(" select L.*, ro.ROT_DESC, ro.ROT_ORIGEM, MU.MOV_NUM, MU.MOV_ATIV, MU.MOV_CLIENTE, "
                          "MU.MOV_ROTINA, MU.MOV_CONSU, MU.MOV_LEITOR   from TAB_LOG  as L , TAB_MOV_USU as MU  left "
                          "join TAB_ROTINA ro on MU.MOV_ROTINA = ro.ROT_COD where MU.MOV_NUM_LOG = L.LOG_NUM and  "
                          "L.LOG_DT_INI >= ") +
           from + QStringLiteral(" and  L.LOG_DT_INI <= ") + to + user + routine + items + hidden +
           QStringLiteral(" order by mu.MOV_NUM_LOG desc, mu.MOV_NUM desc ");
}

QString LoginSituation(const QDate &login, const QVariant &logout)
{
    if (logout.isNull())
        return QStringLiteral("??");
    const QDate out = logout.toDate();
    if (out == login)
        return QStringLiteral("ok");
    return out > login ? QStringLiteral("Mais de 1 dia logado") : QStringLiteral("ERRO= Logout antes Login");
}

db::ResultSet RunActivityQuery(AppContext &app, const ActivityFilter &filter)
{
    const db::ResultSet rs = app.cnt().query(ActivitySql(filter));

    // Names are looked up once per identifier; a missing row leaves the column empty.
    QHash<QString, QString> cache;
    auto lookup = [&](const QString &kind, const QString &sqlText, const QString &column) {
        const QString key = kind + sqlText;
        const auto it = cache.constFind(key);
        if (it != cache.constEnd())
            return *it;
        const db::ResultSet r = app.cnt().query(sqlText);
        const QString name = r.isEmpty() ? QString() : r.value(0, column).toString();
        cache.insert(key, name);
        return name;
    };

    QStringList columns = rs.columns();
    columns << QStringLiteral("NOME_USUARIO") << QStringLiteral("NOME_CLIENTE") << QStringLiteral("NOME_LEITOR")
            << QStringLiteral("NOME_CONSUMIDOR") << QStringLiteral("SITUACAO");
    QList<QVariantList> rows;
    rows.reserve(rs.rowCount());
    for (int r = 0; r < rs.rowCount(); ++r) {
        QVariantList row = rs.row(r);
        row << lookup(QStringLiteral("u"),
                      QStringLiteral("Select  nome from USUARIOS where ID = ") +
                          QString::number(rs.value(r, QStringLiteral("LOG_USU")).toLongLong()),
                      QStringLiteral("NOME"));
        if (filter.complete) {
            row << lookup(QStringLiteral("c"),
                          QStringLiteral("select ID, NOME_LOCAL from ITENS where EXCLUIDO = 0 AND ID = ") +
                              QString::number(rs.value(r, QStringLiteral("MOV_CLIENTE")).toLongLong()),
                          QStringLiteral("NOME_LOCAL"));
            row << lookup(QStringLiteral("r"),
                          QStringLiteral("select ID, NOME_LOCAL from ITENS where EXCLUIDO = 0 AND ID = ") +
                              QString::number(rs.value(r, QStringLiteral("MOV_LEITOR")).toLongLong()),
                          QStringLiteral("NOME_LOCAL"));
            row << lookup(QStringLiteral("k"),
                          QStringLiteral("select * FROM CONSUMIDOR WHERE CONSU_ID = ") +
                              QString::number(rs.value(r, QStringLiteral("MOV_CONSU")).toLongLong()),
                          QStringLiteral("CONSU_NOME"));
        } else {
            row << QVariant() << QVariant() << QVariant();
        }
        row << LoginSituation(rs.value(r, QStringLiteral("LOG_DT_INI")).toDate(),
                              rs.value(r, QStringLiteral("LOG_DT_FIM")));
        rows << row;
    }
    return db::ResultSet(columns, rows);
}

QString ActivitySummary(const ActivityFilter &f)
{
    return dateText(f.from) + QStringLiteral(" a ") + dateText(f.to) + QStringLiteral(" / Usuário : ") + f.userText +
           QStringLiteral(" / Grupo Rotinas : ") + f.groupText + QStringLiteral(" / Rotina : ") + f.routineText +
           QStringLiteral(" / Cliente : ") + f.clientText + QStringLiteral(" / Leitor : ") + f.readerText +
           QStringLiteral(" / Consumidor : ") + f.consumerText;
}

QString ActivityWorkbookName(const ActivityFilter &f)
{
    return (f.complete ? QStringLiteral("HIST_LOGgeral_") : QStringLiteral("HIST_SO_LOG_")) +
           f.from.toString(QStringLiteral("ddMMyyyy")) + QLatin1Char('_') + f.to.toString(QStringLiteral("ddMMyyyy")) +
           QStringLiteral(".xlsx");
}

bool WriteActivityWorkbook(const QString &path, const ActivityFilter &f, const db::ResultSet &rows, QString *error)
{
    struct Column
    {
        const char *title;
        const char *source;
    };
    static const Column complete[] = {
        {"Data Login", "LOG_DT_INI"},
        {"Hs Login", "LOG_HR_INI"},
        {"Nome Usuário", "NOME_USUARIO"},
        {"Rotina", "ROT_DESC"},
        {"Situação Log", "SITUACAO"},
        {"Data Logout", "LOG_DT_FIM"},
        {"Hs Logout", "LOG_HR_FIM"},
        {"Grupo Rotinas", "ROT_ORIGEM"},
        {"Nome Cliente", "NOME_CLIENTE"},
        {"Nome Leitor", "NOME_LEITOR"},
        {"Nome Consumidor", "NOME_CONSUMIDOR"},
        {"Histórico", "MOV_ATIV"},
    };
    static const Column loginOnly[] = {
        {"Data Login", "LOG_DT_INI"},  {"Hs Login", "LOG_HR_INI"},  {"Nome Usuário", "NOME_USUARIO"},
        {"Data Logout", "LOG_DT_FIM"}, {"Hs logout", "LOG_HR_FIM"}, {"Situação Log", "SITUACAO"},
    };
    const Column *columns = f.complete ? complete : loginOnly;
    const int count = f.complete ? 12 : 6;

    const QByteArray file = path.toLocal8Bit();
    lxw_workbook *book = workbook_new(file.constData());
    if (!book) {
        *error = QStringLiteral("não foi possível criar o arquivo \"%1\"").arg(path);
        return false;
    }
    QByteArray title =
        (f.complete ? QStringLiteral("HISTÓRICO GERAL - LOG DE ") : QStringLiteral("HISTÓRICO DE SO LOG DE "))
            .toUtf8() +
        dateText(f.from).toUtf8() + " A " + dateText(f.to).toUtf8();
    lxw_doc_properties properties{};
    properties.title = title.data();
    workbook_set_properties(book, &properties);
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);

    QList<int> widths(count, 0);
    auto put = [&](int row, int col, const QString &text, lxw_format *format) {
        const QByteArray utf8 = text.toUtf8();
        worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(col), utf8.constData(), format);
        widths[col] = qMax(widths[col], int(text.size()));
    };
    for (int c = 0; c < count; ++c)
        put(0, c, QString::fromUtf8(columns[c].title), bold);
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < count; ++c) {
            const QVariant v = rows.value(r, QLatin1String(columns[c].source));
            QString text;
            if (v.typeId() == QMetaType::QDate)
                text = v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
            else if (v.typeId() == QMetaType::QTime)
                text = v.toTime().toString(QStringLiteral("HH:mm:ss"));
            else
                text = v.toString();
            put(r + 1, c, text, nullptr);
        }
    }
    for (int c = 0; c < count; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), qMin(widths[c], 120) + 2, nullptr);
    if (!f.complete) {
        lxw_protection protection{};
        protection.no_select_locked_cells = 0;
        worksheet_protect(sheet, "snwjuch", &protection);
    }
    const lxw_error rc = workbook_close(book);
    if (rc != LXW_NO_ERROR) {
        *error = QString::fromUtf8(lxw_strerror(rc));
        return false;
    }
    return true;
}

} // namespace zentro
