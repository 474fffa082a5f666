#include "users/Login.h"

#include "app/AppContext.h"
#include "app/DataAccess.h"
#include "app/ProgramFolder.h"
#include "audit/AuditTrail.h"
#include "db/Sql.h"
#include "users/Password.h"

#include <QFile>

namespace zentro {

namespace {

// A refused attempt leaves nobody logged on; the login record and the audit
// entries of the attempt stay.
void forgetUser(AppContext &app)
{
    app.user.name.clear();
    app.user.level = NobodyLoggedOn;
}

QString logoFile(const AppContext &app)
{
    const QString own = app.programFolder + QStringLiteral("/logo_clikv.jpg");
    return QFile::exists(own) ? own : ProgramFolder::dataFile(QStringLiteral("logo_clikv.jpg"));
}

// Creates the installation owner's record at its first login.
bool createOwner(AppContext &app)
{
    const QString tradeName = app.installation.ownerTradeName;
    const QString id = QString::number(app.installation.ownerId);
    const QString sep = QStringLiteral(", ");
    const QString insert = QStringLiteral("insert into CLIENTESKV (CLIKV_ID, CLIKV_RAZAO, CLIKV_NOMEFANTASIA, "
                                          "CLIKV_ENDERECO, CLIKV_BAIRRO, CLIKV_CEP, CLIKV_FONE, CLIKV_DDD) VALUES (") +
                           sql::quote(id) + sep + sql::quote(QStringLiteral("RAZAO SOCIAL CLIENTE KV")) + sep +
                           sql::quote(tradeName) + sep + sql::quote(QStringLiteral("ENDERECO A CADASTRAR")) + sep +
                           sql::quote(QStringLiteral("BAIRRO A CADASTRAR")) + sep +
                           sql::quote(QStringLiteral("00000000")) + sep + sql::quote(QStringLiteral("00000000")) + sep +
                           sql::quote(QStringLiteral("011")) + QStringLiteral(") ");
    if (!DynamicQuery(app, insert, QueryMode::Execute)) {
        app.showMessage(QStringLiteral("Houve erro de inclusão dos dados Cliente KV"));
        GravaLog(app, 5, tradeName);
        return false;
    }
    GravaLog(app, 4, tradeName);
    try {
        QFile file(logoFile(app));
        if (!file.open(QIODevice::ReadOnly))
            throw db::DbError(file.errorString());
        app.cnt().execute(QStringLiteral("UPDATE CLIENTESKV SET CLIKV_LOGO = ? WHERE CLIKV_ID = ") + id,
                          {file.readAll()});
        GravaLog(app, 4, tradeName + QStringLiteral("salvada imagem automaticamente"));
    } catch (const db::DbError &) {
        app.showMessage(QStringLiteral("Houve erro de inclusão da logomarca Padrão"));
        GravaLog(app, 5, tradeName);
    }
    return true;
}

} // namespace

LoginOutcome Login(AppContext &app, const QString &typedName, const QString &password)
{
    LoginOutcome outcome;
    const QString name = typedName.toUpper();
    db::ResultSet users;
    QString error;
    if (!DynamicQuery(app, QStringLiteral("Select * from USUARIOS where NOME = ") + sql::quote(name), QueryMode::Open,
                      &users, &error)) {
        app.showMessageBox(QStringLiteral("Erro ao efetuar login."), QStringLiteral("Erro"), mb::IconError);
        GravaLog(app, 2, QStringLiteral("Usuario / Senha invalida"));
        app.logEvent(QStringLiteral("Erro ao efetuar login: ") + QLatin1Char('"') +
                         QStringLiteral("Erro acessando tabela USUARIOS. ") + error,
                     EventLog::Error);
        forgetUser(app);
        return outcome;
    }
    if (users.rowCount() != 1) {
        app.showMessageBox(QStringLiteral("Nome de usuário e/ou senha inválida."),
                           QStringLiteral("Usuário não encontrado."), mb::IconWarning);
        GravaLog(app, 2, QStringLiteral("Usuario / Senha invalida"));
        return outcome;
    }

    app.user.id = users.value(0, QStringLiteral("ID")).toInt();
    app.user.name = users.value(0, QStringLiteral("NOME")).toString();
    app.user.level = users.value(0, QStringLiteral("NIVEL")).toString().toInt();
    inicialog(app);

    if (users.value(0, QStringLiteral("USU_SITUACAO")).toString() == QStringLiteral("D")) {
        app.showMessageBox(
            QStringLiteral("Usuário está desativado!\r\nEntre em contato com o Administrador do Sistema."),
            QStringLiteral("Login"), mb::IconWarning);
        GravaLog(app, 1, QStringLiteral("Usuário Desativado"));
        forgetUser(app);
        return outcome;
    }

    if (!VerifyPassword(QLatin1String(PasswordSalt), name + QString::number(app.user.id), password,
                        users.value(0, QStringLiteral("SENHA")).toString())) {
        app.showMessageBox(QStringLiteral("Erro de validação de Usuário. Senha Corrompida."), QStringLiteral("Login"),
                           mb::IconWarning);
        GravaLog(app, 3, QStringLiteral("Senha Corrompida"));
        forgetUser(app);
        return outcome;
    }

    const QString ownerQuery =
        QStringLiteral("select * from CLIENTESKV WHERE CLIKV_ID = ") + QString::number(app.installation.ownerId);
    db::ResultSet owner;
    if (!DynamicQuery(app, ownerQuery, QueryMode::Open, &owner, &error)) {
        app.showMessageBox(QStringLiteral("Erro ao identificar nome cliente no login."), QStringLiteral("Erro"),
                           mb::IconError);
        app.logEvent(QStringLiteral("Erro ao identificar nome cliente no login: ") + QLatin1Char('"') + error,
                     EventLog::Error);
        forgetUser(app);
        return outcome;
    }
    if (owner.isEmpty()) {
        if (!createOwner(app)) {
            outcome.status = LoginOutcome::Fatal;
            return outcome;
        }
        DynamicQuery(app, ownerQuery, QueryMode::Open, &owner);
    }
    outcome.ownerTradeName = app.installation.ownerTradeName;
    if (!owner.isEmpty()) {
        const QString stored = owner.value(0, QStringLiteral("CLIKV_NOMEFANTASIA")).toString();
        if (!stored.isEmpty())
            outcome.ownerTradeName = stored;
        outcome.logo = owner.value(0, QStringLiteral("CLIKV_LOGO")).toByteArray();
    }

    app.logEvent(QStringLiteral("Acessou o sistema o usuário ") + QLatin1Char('"') + app.user.name + QLatin1Char('"') +
                     QLatin1Char('.'),
                 EventLog::Info);
    if (app.user.level == Gerencial)
        app.showMessageBox(QStringLiteral("O Perfil deste Usuário (Gerencial) ainda \r\nnão está disponível para uso "
                                          "no sistema!"),
                           QStringLiteral("Login"), mb::IconInformation);
    else if (app.user.level == Operador)
        app.showMessageBox(QStringLiteral("O Perfil deste Usuário (Operador) ainda \r\nnão está disponível para uso "
                                          "no sistema!"),
                           QStringLiteral("Login"), mb::IconInformation);
    outcome.status = LoginOutcome::LoggedOn;
    return outcome;
}

void Logoff(AppContext &app, bool byCommand)
{
    encerraLog(app);
    if (byCommand && !app.user.name.isEmpty()) {
        app.logEvent(QStringLiteral("O usuário ") + QLatin1Char('"') + app.user.name + QLatin1Char('"') +
                         QStringLiteral(" saiu do sistema."),
                     EventLog::Info);
    }
    app.user.name.clear();
    app.user.level = NobodyLoggedOn;
}

QByteArray LoadOwnerLogo(AppContext &app)
{
    db::ResultSet owner;
    if (!DynamicQuery(app,
                      QStringLiteral("Select * from CLIENTESKV where clikv_id = ") +
                          QString::number(app.installation.ownerId),
                      QueryMode::Open, &owner) ||
        owner.isEmpty())
        return {};
    return owner.value(0, QStringLiteral("CLIKV_LOGO")).toByteArray();
}

} // namespace zentro
