#include "app/DbUpdate.h"

#include "app/AppContext.h"
#include "app/ProgramFolder.h"
#include "app/TextCodec.h"

#include <QFile>

namespace zentro {

namespace {

const QString UpdateCaption = QStringLiteral("Atualização de banco de dados necessária!");

QString versionLabel(int version)
{
    return QStringLiteral("%1.%2").arg(version / 100).arg(version % 100, 2, 10, QLatin1Char('0'));
}

QString readVersion(AppContext &app)
{
    const db::ResultSet rs = app.cnt().query(QStringLiteral("select * from DBINFO;"));
    if (rs.rowCount() != 1)
        throw db::DbError(
            QStringLiteral("Banco de dados não possui informação de versão.\r\nRecord Count = %1.").arg(rs.rowCount()));
    return rs.value(0, QStringLiteral("VERSION")).toString().trimmed();
}

QString warningText(const AppContext &app, const QString &version)
{
    QString t;
    if (!app.conf.friendlyName.isEmpty())
        t += QStringLiteral("Cliente: ") + app.conf.friendlyName + QStringLiteral("\r\n");
    t += QStringLiteral("Uma atualização na estrutura do banco de dados é necessária,");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("porém como essa é uma operação crítica, SOMENTE DEVE SER");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("FEITA APÓS TER REALIZADO UMA CÓPIA DE SEGURANÇA DO");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("BANCO DE DADOS, e ter certeza que NÃO EXISTEM OUTROS");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("USUÁRIOS UTILIZANDO o Zentro no momento.");
    t += QStringLiteral("\r\n\r\n");
    t += QStringLiteral("Versões anteriores do sistema não deverão mais rodar sobre");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("esse banco de dados.");
    t += QStringLiteral("\r\n\r\n");
    t += QStringLiteral("Por favor, certifique-se que todas as estações que usam esse");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("banco de dados estão com o Zentro atualizado (versão");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("corrente ") + app.buildInfo;
    t += QStringLiteral("), caso contrário, os dados");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("podem ficar corrompidos, PERDENDO INFORMAÇÕES!");
    t += QStringLiteral("\r\n\r\n");
    t += QStringLiteral("Caso você não tenha certeza do que responder aqui, chame");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("o administrador de sistemas e clique imediatamente em NÃO!");
    t += QStringLiteral("\r\n");
    t += QStringLiteral("Versão atual do banco de dados: ") + version;
    t += QStringLiteral(". Versão necessária: ") + QLatin1String(AppContext::RequiredVersion);
    t += QStringLiteral(".");
    t += QStringLiteral("\r\n\r\n");
    t += QStringLiteral("Deseja continuar?");
    return t;
}

} // namespace

QStringList SplitUpdateScript(const QString &script)
{
    QStringList statements;
    for (const QString &piece : script.split(QLatin1Char('^'))) {
        const QString statement = piece.trimmed();
        if (statement.isEmpty())
            break;
        statements << statement;
    }
    return statements;
}

bool RunUpdateScript(AppContext &app, DbUpdateView &view, const QString &script, const QString &version)
{
    app.processEvents();
    const QStringList statements = SplitUpdateScript(script);
    view.setProgress(0, int(statements.size()));
    for (int i = 0; i < statements.size(); ++i) {
        view.setProgress(i + 1, int(statements.size()));
        app.processEvents();
        const QString sent = statements.at(i) + QLatin1Char(';');
        try {
            app.cnt().execute(sent);
        } catch (const db::DbError &e) {
            app.showMessage(QStringLiteral("Erro executando script de atualização do banco de dados:\r\n") + e.text() +
                            QStringLiteral("\r\n") + QStringLiteral("Sentença: ") + QString::number(i + 1) +
                            QStringLiteral("\r\n") + QStringLiteral("Versão atual: ") + version);
            app.logEvent(QStringLiteral("Error executing Database update script: ") + e.text() +
                             QStringLiteral("\r\n") + QStringLiteral("Current structure version: ") + version +
                             QStringLiteral("\r\n") + QStringLiteral("Sentence: ") + QString::number(i + 1) +
                             QStringLiteral("\r\n") + sent,
                         EventLog::Error);
            return false;
        }
    }
    return true;
}

bool UpdateDatabase(AppContext &app, DbUpdateView &view, const QString &currentVersion)
{
    const QString required = QLatin1String(AppContext::RequiredVersion);
    QString version = currentVersion;

    if (app.showMessageBox(warningText(app, version), UpdateCaption,
                           mb::IconWarning | mb::YesNo | mb::DefaultButton2) != mb::IdYes) {
        app.showMessageBox(QStringLiteral("Base de dados não foi atualizada!"), QStringLiteral("Zentro"),
                           mb::IconInformation);
        app.logEvent(QStringLiteral("Usuário cancelou atualização do banco de dados. Versão atual: ") + version +
                         QStringLiteral(". Versão necessária: ") + required + QStringLiteral("."),
                     EventLog::Info);
        return false;
    }

    view.open();
    if (app.showMessageBox(QStringLiteral("As orientações do aviso anterior foram seguidas?\r\n\r\nSomente clique sim "
                                          "aqui se tiverem sido seguidas,\r\ncaso contrário pode haver perda de dados "
                                          "irreversível!"),
                           UpdateCaption, mb::IconQuestion | mb::YesNo | mb::DefaultButton2) != mb::IdYes) {
        app.showMessageBox(QStringLiteral("Base de dados não foi atualizada!"), QStringLiteral("Zentro"),
                           mb::IconInformation);
        app.logEvent(QStringLiteral("Usuário cancelou atualização do banco de dados. Versão atual: ") + version +
                         QStringLiteral("."),
                     EventLog::Info);
        view.setStatus(QStringLiteral("Finalizando conversões necessárias... Aguarde..."));
        view.pause();
        view.setPanelVisible(false);
        view.close();
        return false;
    }

    view.setStatus(QStringLiteral("Iniciando conversões necessárias... Aguarde..."));
    view.setPanelVisible(true);
    view.pause();

    if (version < QStringLiteral("494")) {
        app.showMessage(QStringLiteral("Falha na conversao do banco de dados, entre em contato com o fornecedor do "
                                       "software.\r\nA versão atual da base de dados (") +
                        version + QStringLiteral(") é incompatível."));
        app.logEvent(QStringLiteral("Detectada uma versão (") + version +
                         QStringLiteral(") incompatível de banco de dados."),
                     EventLog::CriticalError);
    } else {
        for (int from = 494; from < 505; ++from) {
            if (version != QString::number(from))
                continue;
            const int to = from + 1;
            const QString toText = QString::number(to);
            try {
                QFile file(ProgramFolder::dataFile(QStringLiteral("conv/%1.SQL").arg(to)));
                if (!file.open(QIODevice::ReadOnly))
                    throw db::DbError(QStringLiteral("Não foi possível abrir o arquivo \"%1\": %2")
                                          .arg(file.fileName(), file.errorString()));
                const QString script = TextCodec::fromCp1252OrUtf8(file.readAll());
                view.setStatus(QStringLiteral("Atualizando de uma base de dados versão %1 para a base de dados "
                                              "versão %2...")
                                   .arg(versionLabel(from), versionLabel(to)));
                if (RunUpdateScript(app, view, script, version)) {
                    version = readVersion(app);
                    app.logEvent(QStringLiteral("Banco de dados foi atualizado para a versão ") + version +
                                     QStringLiteral("."),
                                 EventLog::ItemInfo);
                } else if (from == 494) {
                    app.showMessage(QStringLiteral("Falha na conversao do banco de dados, entre em contato com o "
                                                   "fornecedor do software."));
                    app.logEvent(QStringLiteral("Banco de dados NÃO atualizado para versão 495."),
                                 EventLog::CriticalError);
                } else {
                    app.showMessage(QStringLiteral("Banco de dados NÃO atualizado para versão ") + toText +
                                    QStringLiteral("."));
                }
            } catch (const db::DbError &e) {
                app.showMessage(QStringLiteral("Banco de dados NÃO atualizado para versão ") + toText +
                                QStringLiteral(". Excessão:") + e.text());
            }
        }
    }

    view.setStatus(QStringLiteral("Finalizando conversões necessárias... Aguarde..."));
    view.setPanelVisible(true);
    view.pause();
    view.setPanelVisible(false);
    view.close();

    if (version == required)
        return true;
    app.showMessageBox(QStringLiteral("Base de dados com versão incompatível a esse programa!"), UpdateCaption,
                       mb::IconInformation);
    return false;
}

} // namespace zentro
