#pragma once

#include "db/ResultSet.h"

#include <QDate>
#include <QList>
#include <QString>

namespace zentro {

class AppContext;

// What the user-activity window asks for.
struct ActivityFilter
{
    bool complete = false; // every action ("Log Completo") or the logins only
    QDate from;
    QDate to;
    int userId = -1;          // -1: every user
    QList<int> groupRoutines; // the routines of the chosen group; empty: every group
    int routine = -1;         // -1: every routine of the group
    int clientId = -1;
    int readerId = -1;
    int consumerId = -1;
    bool hideServiceUser = true; // only the service user itself sees its own trail

    // Texts for the audit summary.
    QString userText;
    QString groupText;
    QString routineText;
    QString clientText;
    QString readerText;
    QString consumerText;
};

// The select of the activity query.
QString ActivitySql(const ActivityFilter &filter);

// Runs the query and adds the looked-up names and the situation of each
// login: columns NOME_USUARIO, NOME_CLIENTE, NOME_LEITOR, NOME_CONSUMIDOR,
// SITUACAO. Throws db::DbError.
db::ResultSet RunActivityQuery(AppContext &app, const ActivityFilter &filter);

// "??" while logged in, "ok" for a logout the same day, "Mais de 1 dia
// logado" for a later day, "ERRO= Logout antes Login" for an earlier one.
QString LoginSituation(const QDate &login, const QVariant &logout);

// The filter summary the audit trail records after a search or a workbook.
QString ActivitySummary(const ActivityFilter &filter);

// Workbook of a result: titles in row 1, rows from row 2. The login-only sheet
// is protected. Answers false and sets *error when it cannot be written.
bool WriteActivityWorkbook(const QString &path, const ActivityFilter &filter, const db::ResultSet &rows,
                           QString *error);

// "HIST_LOGgeral_ddMMyyyy_ddMMyyyy.xlsx" or "HIST_SO_LOG_..." for the login-only page.
QString ActivityWorkbookName(const ActivityFilter &filter);

} // namespace zentro
