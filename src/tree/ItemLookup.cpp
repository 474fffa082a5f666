#include "tree/ItemLookup.h"

#include "app/AppContext.h"
#include "app/Clock.h"
#include "app/DataAccess.h"
#include "db/Sql.h"

#include <QSet>

namespace zentro {

int getClientIDofItem(AppContext &app, int itemId)
{
    try {
        QSet<int> seen;
        int current = itemId;
        for (;;) {
            // Rows that name each other as parents must not keep us here.
            if (seen.contains(current))
                return -1;
            seen.insert(current);
            const db::ResultSet rs = app.cnt().query(QStringLiteral("select ID, ID_PAI "
                                                                    "from ITENS "
                                                                    "where ITENS.ID = ? "),
                                                     {current});
            if (rs.isEmpty())
                return -1;
            const int parent = rs.value(0, 1).toInt();
            if (parent == -1)
                return rs.value(0, 0).toInt();
            current = parent;
        }
    } catch (const db::DbError &e) {
        app.logEvent(QStringLiteral("Erro ao procurar ID do cliente. (Função: getClientIDofItem, ID: ") +
                         QString::number(itemId) + QStringLiteral("). [") + e.text() + QStringLiteral("]"),
                     EventLog::CriticalError);
        return -1;
    }
}

int getReaderIdBySerial(AppContext &app, const QString &serial)
{
    try {
        const db::ResultSet rs = app.cnt().query(QStringLiteral("select ID "
                                                                "from ITENS "
                                                                "where ITENS.HW_SERIE = ? AND EXCLUIDO = '0'"),
                                                 {serial});
        return rs.rowCount() == 1 ? rs.value(0, 0).toInt() : -1;
    } catch (const db::DbError &e) {
        app.logEvent(QStringLiteral("Erro ao procurar ID do leitor. (Função: getReaderIdBySerial, Serial: ") + serial +
                         QStringLiteral("). [") + e.text() + QStringLiteral("]"),
                     EventLog::CriticalError);
        return -1;
    }
}

bool InserirLeitorNaoCadastrado(AppContext &app, const QString &serial, int &id)
{
    QString error;
    db::ResultSet rs;
    // NOME_LOCAL holds 25 characters; a longer serial must not fail the import.
    const QString sql =
        QStringLiteral("Insert INTO ITENS (NOME_LOCAL, HW_SERIE, ID_PAI, TIPO_EQUIP, USAR_MASTER_CONFS, "
                       "USAR_MASTER_LCRED, USAR_MASTER_LGROUP, USAR_MASTER_LBONUS, USAR_MASTER_LAUTOFORMAT, "
                       "EM_MANUTENCAO, TEM_FILHO, DATA_INCLUI)  values (") +
        sql::quote(serial.left(25)) + QStringLiteral(", ") + sql::quote(serial) +
        QStringLiteral(", -5, '1', '0', '0', '0', '0', '0', '0', '0', ") + sql::dateTime(Clock::now()) +
        QStringLiteral(")");
    if (!DynamicQuery(app, sql, QueryMode::Execute)) {
        error = QStringLiteral("Inserindo registros da tabela ITENS");
    } else if (!DynamicQuery(app, QStringLiteral("Select LAST_INSERT_ID()"), QueryMode::Open, &rs) || rs.isEmpty() ||
               rs.value(0, 0).toLongLong() <= 0) {
        error = QStringLiteral("Obtendo ID para registro da tabela ITENS");
    }
    if (!error.isEmpty()) {
        app.logEvent(QStringLiteral("Falha inserindo leitor não cadastrado (Função: InserirLeitorNaoCadastrado): ") +
                         error,
                     EventLog::CriticalError);
        return false;
    }
    id = rs.value(0, 0).toInt();
    return true;
}

} // namespace zentro
