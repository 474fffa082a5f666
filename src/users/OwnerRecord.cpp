#include "users/OwnerRecord.h"

#include "app/AppContext.h"
#include "audit/AuditTrail.h"
#include "db/Sql.h"

namespace zentro {

std::optional<OwnerRecord> LoadOwnerRecord(AppContext &app)
{
    try {
        const db::ResultSet rs = app.cnt().query(QStringLiteral("Select * from CLIENTESKV where clikv_id = ") +
                                                 QString::number(app.installation.ownerId));
        if (rs.isEmpty())
            return std::nullopt;
        auto text = [&](const char *column) { return rs.value(0, QLatin1String(column)).toString(); };
        OwnerRecord r;
        r.id = rs.value(0, QStringLiteral("CLIKV_ID")).toInt();
        r.tradeName = text("CLIKV_NOMEFANTASIA");
        r.razao = text("CLIKV_RAZAO");
        r.endereco = text("CLIKV_ENDERECO");
        r.bairro = text("CLIKV_BAIRRO");
        r.cep = text("CLIKV_CEP");
        r.ddd = text("CLIKV_DDD");
        r.fone = text("CLIKV_FONE");
        r.responsavel = text("CLIKV_RESPONSAVEL");
        r.site = text("CLIKV_SITE");
        r.logo = rs.value(0, QStringLiteral("CLIKV_LOGO")).toByteArray();
        return r;
    } catch (const db::DbError &e) {
        app.logEvent(QStringLiteral("Erro ao ler o Cliente Kavora: ") + e.text(), EventLog::Error);
        return std::nullopt;
    }
}

QString OwnerChangeText(const OwnerRecord &stored, const OwnerRecord &edited)
{
    QString text = QStringLiteral("Nome Fantasia  DE: ") + stored.tradeName + QStringLiteral(" PARA: ") +
                   edited.tradeName + QStringLiteral("\r");
    const struct
    {
        const char *label;
        QString OwnerRecord::*field;
    } fields[] = {
        {"Razão Social  DE :", &OwnerRecord::razao},
        {"Endereço  DE :", &OwnerRecord::endereco},
        {"Bairro  DE :", &OwnerRecord::bairro},
        {"Cep  DE :", &OwnerRecord::cep},
        {"DDD  DE :", &OwnerRecord::ddd},
        {"Telefone  DE :", &OwnerRecord::fone},
        {"Responsável DE :", &OwnerRecord::responsavel},
        {"Site  DE :", &OwnerRecord::site},
    };
    for (const auto &f : fields) {
        const QString before = (stored.*f.field).trimmed();
        const QString after = (edited.*f.field).trimmed();
        if (before != after)
            text += QString::fromUtf8(f.label) + before + QStringLiteral(" PARA: ") + after + QStringLiteral("\r");
    }
    return text;
}

bool SaveOwnerRecord(AppContext &app, const OwnerRecord &stored, OwnerRecord edited)
{
    edited.tradeName = app.installation.ownerTradeName;
    const QString activity = OwnerChangeText(stored, edited);
    try {
        app.cnt().execute(
            QStringLiteral(
                "update CLIENTESKV set CLIKV_NOMEFANTASIA = %1, CLIKV_RAZAO = %2, CLIKV_ENDERECO = %3, "
                "CLIKV_BAIRRO = %4, CLIKV_CEP = %5, CLIKV_DDD = %6, CLIKV_FONE = %7, CLIKV_RESPONSAVEL = %8, "
                "CLIKV_SITE = %9 where CLIKV_ID = ")
                .arg(sql::quote(edited.tradeName), sql::quote(edited.razao.trimmed()),
                     sql::quote(edited.endereco.trimmed()), sql::quote(edited.bairro.trimmed()),
                     sql::quote(edited.cep.trimmed()), sql::quote(edited.ddd.trimmed()),
                     sql::quote(edited.fone.trimmed()), sql::quote(edited.responsavel.trimmed()),
                     sql::quote(edited.site.trimmed())) +
            QString::number(stored.id));
    } catch (const db::DbError &e) {
        app.logEvent(QStringLiteral("Erro ao gravar o Cliente Kavora: ") + e.text(), EventLog::Error);
        return false;
    }
    GravaLog(app, 72, activity);
    return true;
}

bool SaveOwnerLogo(AppContext &app, const QByteArray &jpeg)
{
    try {
        app.cnt().execute(QStringLiteral("UPDATE CLIENTESKV SET CLIKV_LOGO = ? WHERE CLIKV_ID = ") +
                              QString::number(app.installation.ownerId),
                          {jpeg});
    } catch (const db::DbError &e) {
        app.logEvent(QStringLiteral("Erro ao gravar a logomarca do Cliente Kavora: ") + e.text(), EventLog::Error);
        return false;
    }
    GravaLog(app, 72, QStringLiteral("Alterada a logomarca do Cliente Kavora"));
    return true;
}

} // namespace zentro
