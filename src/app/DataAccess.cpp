#include "app/DataAccess.h"

#include "app/AppContext.h"

namespace zentro {

bool DynamicQuery(AppContext &app, const QString &sql, QueryMode mode, db::ResultSet *rows, QString *error)
{
    try {
        if (mode == QueryMode::Open) {
            db::ResultSet rs = app.cnt().query(sql);
            if (rows)
                *rows = std::move(rs);
        } else {
            app.cnt().execute(sql);
        }
        return true;
    } catch (const db::DbError &e) {
        app.logEvent(QStringLiteral("Erro ao gerar query dinâmica: ") + e.text() + QStringLiteral(". ") +
                         QStringLiteral("\r\n") + QStringLiteral("SQL: ") + sql,
                     EventLog::CriticalError);
        if (error)
            *error = e.text();
        return false;
    }
}

bool RegExists(AppContext &app, const QString &sql)
{
    db::ResultSet rows;
    QString error;
    if (!DynamicQuery(app, sql, QueryMode::Open, &rows, &error)) {
        app.showMessageBox(QStringLiteral("Erro ao executar pesquisa."), QStringLiteral("Erro"), mb::IconError);
        app.logEvent(QStringLiteral("Erro ao efetuar pesquisa (Função: RegExists): ") + error +
                         QStringLiteral(". Sentença SQL: ") + QStringLiteral("\r\n") + sql + QStringLiteral("."),
                     EventLog::CriticalError);
        return true;
    }
    return !rows.isEmpty();
}

} // namespace zentro

namespace zentro {

bool haveProductList(AppContext &app, int readerId)
{
    const QString sql = QStringLiteral("select ID_PROD from LISTAS_PROD where ID_PAI = ") + QString::number(readerId) +
                        QStringLiteral(" LIMIT 1");
    try {
        return !app.cnt().query(sql).isEmpty();
    } catch (const db::DbError &e) {
        app.logEvent(QStringLiteral("Erro ao consultar lista de produtos. (Função: haveProductList, ID: ") +
                         QString::number(readerId) + QStringLiteral(", qryLista: ") +
                         QString::asprintf("0x%p", static_cast<const void *>(&sql)) + QStringLiteral("). [") +
                         e.text() + QStringLiteral("]"),
                     EventLog::CriticalError);
        return false;
    }
}

} // namespace zentro
