#include "audit/AuditTrail.h"

#include "app/AppContext.h"
#include "db/Sql.h"

namespace zentro {

bool inicialog(AppContext &app)
{
    try {
        app.cnt().execute(QStringLiteral("insert into TAB_LOG (LOG_USU, LOG_DT_INI , LOG_HR_INI) values ( ") +
                          sql::quote(app.user.id) + QStringLiteral(", current_date ") +
                          QStringLiteral(", current_time ") + QStringLiteral(");"));
        const db::ResultSet rs = app.cnt().query(QStringLiteral("SELECT LAST_INSERT_ID() AS ID;"));
        app.loginRecord = rs.value(0, 0).toInt();
        return true;
    } catch (const db::DbError &e) {
        app.showMessage(QStringLiteral("Erro ao INICIAR um LOG. Contate Kavora!"));
        app.logEvent(QStringLiteral("Erro ao Iniciar um LOG (inicialog) ") + e.text(), EventLog::Error);
        return false;
    }
}

bool encerraLog(AppContext &app)
{
    try {
        app.cnt().execute(QStringLiteral("update TAB_LOG set LOG_DT_FIM =  CURRENT_DATE , LOG_HR_FIM = CURRENT_TIME  "
                                         "where LOG_NUM = ") +
                          QString::number(app.loginRecord) + QStringLiteral(" and LOG_DT_FIM is null ") +
                          QStringLiteral(" and LOG_USU = ") + sql::quote(app.user.id));
        if (!app.cnt().inTransaction())
            app.cnt().execute(QStringLiteral("commit"));
        return true;
    } catch (const db::DbError &e) {
        app.showMessage(QStringLiteral("Erro ao encerrar log. Contate a Kavora!"));
        app.logEvent(QStringLiteral("Erro ao encerrar um log inicializado (encerraLog) ") + e.text(), EventLog::Error);
        return false;
    }
}

bool GravaLog(AppContext &app, int routine, const QString &text, int consumerId, int readerId, int clientId)
{
    if (app.loginRecord == 0 && !inicialog(app))
        return false;
    try {
        app.cnt().execute(QStringLiteral("insert into TAB_MOV_USU ( MOV_ROTINA, MOV_ATIV , MOV_HR, MOV_NUM_LOG, "
                                         "MOV_CLIENTE, MOV_LEITOR, MOV_CONSU) values (") +
                          QString::number(routine) + QStringLiteral(", ") + sql::quote(text) +
                          QStringLiteral(", CURRENT_TIME ") + QStringLiteral(", ") + QString::number(app.loginRecord) +
                          QStringLiteral(", ") + QString::number(clientId) + QStringLiteral(", ") +
                          QString::number(readerId) + QStringLiteral(", ") + QString::number(consumerId) +
                          QStringLiteral(")"));
        return true;
    } catch (const db::DbError &e) {
        app.showMessage(QStringLiteral("Erro ao GravarLog. Contate Kavora!"));
        app.logEvent(QStringLiteral("Erro ao GravarLOG (GravaLog): ") + e.text(), EventLog::Error);
        return false;
    }
}

} // namespace zentro
