#include "users/UserRegister.h"

#include "app/AppContext.h"
#include "app/DataAccess.h"
#include "audit/AuditTrail.h"
#include "db/Sql.h"
#include "users/Password.h"

namespace zentro {

namespace {

const QString FillCaption = QStringLiteral("Preenchimento");

UserSaveResult refuse(AppContext &app, const QString &text, UserField focus, const QString &caption = FillCaption)
{
    app.showMessageBox(text, caption, mb::IconWarning);
    return {false, focus};
}

} // namespace

QString ProfileText(int profile)
{
    switch (profile) {
    case 0:
        return QStringLiteral("Administrador");
    case 1:
        return QStringLiteral("Gerencial");
    case 2:
        return QStringLiteral("Operador");
    default:
        return {};
    }
}

bool IsNameCharAllowed(QChar c)
{
    static const QString refused = QStringLiteral("!#$%&()*+,-./:;<=>?@[\\]^_{|}~¨ª´ºÇç`");
    return !refused.contains(c);
}

bool IsPasswordCharAllowed(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == ' ';
}

UserSaveResult SaveUser(AppContext &app, UserForm form)
{
    form.name = form.name.trimmed().toUpper();
    form.password = form.password.trimmed();
    const bool isNew = form.editTarget < 0;
    const bool keepPassword = !isNew && form.password == QLatin1String(UnchangedPassword);
    const QString profileText = ProfileText(form.profile);

    if (form.name.isEmpty())
        return refuse(app, QStringLiteral("É obrigatório o preenchimento do campo \"Nome do Usuário\"."),
                      UserField::Password);
    if (isNew && form.name == QStringLiteral("ADMIN"))
        return refuse(app, QStringLiteral("Este nome de usuário está reservado ao sistema.\rEscolha outro nome."),
                      UserField::Name);
    if (!keepPassword && !CheckPasswordRules(form.password))
        return refuse(app,
                      QStringLiteral("É obrigatório o preenchimento do campo \"Senha\".\r\nRegras de criação de "
                                     "senha:\r\n - Mínimo de 8 caracteres;\r\n - Pelo menos uma letra;\r\n - Pelo "
                                     "menos um número."),
                      UserField::Password);
    if (form.profile < 0 || form.profile > 2)
        return refuse(app, QStringLiteral("É obrigatória a definição do Perfil do Usuário."), UserField::Profile);
    if (form.clientId < 0 && form.profile != 0)
        return refuse(app, QStringLiteral("É obrigatória a definição do Cliente associado a esse Usuário."),
                      UserField::Client);

    const QString level = QString::number(form.profile + 1);
    if (isNew) {
        if (RegExists(app, QStringLiteral("Select * from USUARIOS where NOME = ") + sql::quote(form.name)))
            return refuse(
                app, QStringLiteral("Já existe um usuário com este nome.\rEscolha outro nome para o novo usuário."),
                UserField::Name, QStringLiteral("Redundância"));
        app.logEvent(QStringLiteral("$$$$$ - O Usuário ") + QLatin1Char('"') + form.name + QLatin1Char('"') +
                         QStringLiteral(" foi criado pelo usuário ") + QLatin1Char('"') + app.user.name +
                         QLatin1Char('"') + QStringLiteral(", logado neste momento."),
                     EventLog::ItemInfo);
        try {
            db::Transaction t(app.cnt());
            const db::ResultSet next =
                app.cnt().query(QStringLiteral("SELECT (ID + 1) AS NUMERO FROM USUARIOS ORDER BY ID DESC LIMIT 1;"));
            const int id = next.isEmpty() ? 1 : next.value(0, 0).toInt();
            QString hash;
            if (!HashPassword(QLatin1String(PasswordSalt), form.name + QString::number(id), form.password, &hash)) {
                app.showMessage(QStringLiteral("Erro ao gravar Usuário, entre em contato com o Administrador!(CR)"));
                GravaLog(app, 8,
                         QStringLiteral("Usuário alterado : ") + form.name + QStringLiteral(" / Perfil = ") +
                             profileText);
                return {false, UserField::None};
            }
            app.cnt().execute(QStringLiteral("insert into USUARIOS (ID, NOME, SENHA, NIVEL, USU_SITUACAO) values (%1, "
                                             "%2, %3, %4, 'A')")
                                  .arg(id)
                                  .arg(sql::quote(form.name), sql::quote(hash), sql::quote(level)));
            if (form.profile != 0)
                app.cnt().execute(QStringLiteral("insert into USUARIOS_CLIENTES (ID_USUARIO, ID_CLIENTE) values (%1, "
                                                 "%2)")
                                      .arg(id)
                                      .arg(form.clientId));
            t.commit();
        } catch (const db::DbError &e) {
            app.logEvent(QStringLiteral("Erro ao gravar usuário (Função: SaveUser): ") + e.text(), EventLog::Error);
            return {false, UserField::None};
        }
        GravaLog(app, 6,
                 QStringLiteral("incluido Usuário ") + form.name + QStringLiteral(" / Perfil = ") + profileText);
        return {true, UserField::None};
    }

    app.logEvent(QStringLiteral("&&&&& - O Usuário ") + QLatin1Char('"') + form.name + QLatin1Char('"') +
                     QStringLiteral(" foi editado pelo usuário ") + QLatin1Char('"') + app.user.name +
                     QLatin1Char('"') + QStringLiteral(", logado neste momento."),
                 EventLog::ItemInfo);
    QString hash;
    if (!keepPassword && !HashPassword(QLatin1String(PasswordSalt), form.name + QString::number(form.editTarget),
                                       form.password, &hash)) {
        app.showMessage(QStringLiteral("Erro ao gravar Usuário, entre em contato com o Administrador!(DC)"));
        GravaLog(app, 8, QStringLiteral("Usuário : ") + form.name + QStringLiteral(" / Perfil = ") + profileText);
        return {false, UserField::None};
    }
    try {
        db::Transaction t(app.cnt());
        QString set = QStringLiteral("NOME = %1, NIVEL = %2, USU_SITUACAO = %3")
                          .arg(sql::quote(form.name), sql::quote(level),
                               sql::quote(form.deactivated ? QStringLiteral("D") : QStringLiteral("A")));
        if (!keepPassword)
            set += QStringLiteral(", SENHA = ") + sql::quote(hash);
        app.cnt().execute(QStringLiteral("update USUARIOS set ") + set + QStringLiteral(" where ID = ") +
                          QString::number(form.editTarget));
        // An administrator may have no client: then no link is written.
        if (form.clientId >= 0) {
            const db::ResultSet link = app.cnt().query(
                QStringLiteral("select * from USUARIOS_CLIENTES where ID_USUARIO = %1").arg(form.editTarget));
            if (link.isEmpty())
                app.cnt().execute(
                    QStringLiteral("insert into USUARIOS_CLIENTES (ID_USUARIO, ID_CLIENTE) values (%1, %2)")
                        .arg(form.editTarget)
                        .arg(form.clientId));
            else
                app.cnt().execute(QStringLiteral("update USUARIOS_CLIENTES set ID_CLIENTE = %1 where ID_USUARIO = %2")
                                      .arg(form.clientId)
                                      .arg(form.editTarget));
        }
        t.commit();
    } catch (const db::DbError &e) {
        app.logEvent(QStringLiteral("Erro ao gravar usuário (Função: SaveUser): ") + e.text(), EventLog::Error);
        return {false, UserField::None};
    }
    GravaLog(app, 7, QStringLiteral("Usuário alterado : ") + form.name + QStringLiteral(" / Perfil = ") + profileText);
    return {true, UserField::None};
}

} // namespace zentro
