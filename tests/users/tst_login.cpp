// Login, logoff and the user register against the real server.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "app/AppContext.h"
#include "app/ProgramFolder.h"
#include "audit/AuditTrail.h"
#include "users/Login.h"
#include "users/Password.h"
#include "users/UserRegister.h"

#include <QtTest>

using namespace zentro;

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void unknownUserBeforeAnyLogin();
    void refusedAttemptsAreRecorded_data();
    void refusedAttemptsAreRecorded();
    void firstLoginCreatesTheOwner();
    void profilesWithoutCommands_data();
    void profilesWithoutCommands();
    void logoffClosesTheRecord();
    void saveRefusals_data();
    void saveRefusals();
    void newUsers();
    void editingKeepsOrChangesThePassword();

private:
    QString one(const QString &sql);
    void addUser(int id, const QString &name, const QString &password, const QString &level,
                 const QString &situation = QStringLiteral("A"));

    TestDatabase m_db;
    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_app;
};

void TestLogin::initTestCase()
{
    QVERIFY(m_db.create(QStringLiteral("login")));
}

void TestLogin::init()
{
    m_messages.clear();
    m_app = std::make_unique<AppContext>(m_messages);
    m_app->programFolder = m_folder.path();
    m_app->events().setPath(m_folder.path() + QStringLiteral("/events_log.htm"));
    m_app->installation.ownerId = 1001;
    m_app->installation.ownerTradeName = QStringLiteral("Vending Demonstração Ltda");
    m_app->cnt().open(m_db.connectionString());
}

void TestLogin::cleanup()
{
    m_messages.allShown();
    m_app.reset();
    m_db.runSql(QStringLiteral("DELETE FROM TAB_MOV_USU; DELETE FROM TAB_LOG; DELETE FROM CLIENTESKV; "
                               "DELETE FROM USUARIOS WHERE ID NOT IN (0, 2); DELETE FROM USUARIOS_CLIENTES;"));
}

QString TestLogin::one(const QString &sql)
{
    const db::ResultSet rs = m_app->cnt().query(sql);
    return rs.isEmpty() ? QStringLiteral("<none>") : rs.value(0, 0).toString();
}

void TestLogin::addUser(int id, const QString &name, const QString &password, const QString &level,
                        const QString &situation)
{
    QString hash;
    QVERIFY(HashPassword(QLatin1String(PasswordSalt), name + QString::number(id), password, &hash));
    m_app->cnt().execute(QStringLiteral("INSERT INTO USUARIOS (ID, NOME, SENHA, NIVEL, USU_SITUACAO) VALUES (?, ?, ?, "
                                        "?, ?)"),
                         {id, name, hash, level, situation});
}

void TestLogin::unknownUserBeforeAnyLogin()
{
    m_messages.expect(QStringLiteral("Nome de usuário e/ou senha inválida."), QStringLiteral("Usuário não encontrado."),
                      48);
    QCOMPARE(Login(*m_app, QStringLiteral("ninguém"), QStringLiteral("x")).status, LoginOutcome::Refused);
    // A login record for nobody (user 0) carries the refused attempt.
    QCOMPARE(one(QStringLiteral("SELECT LOG_USU FROM TAB_LOG")), QStringLiteral("0"));
    QCOMPARE(one(QStringLiteral("SELECT CONCAT(MOV_ROTINA, ':', MOV_ATIV) FROM TAB_MOV_USU M JOIN TAB_LOG L ON "
                                "M.MOV_NUM_LOG = L.LOG_NUM")),
             QStringLiteral("2:Usuario / Senha invalida"));
}

void TestLogin::refusedAttemptsAreRecorded_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("record");
    QTest::newRow("deactivated") << "D"
                                 << "certa123"
                                 << "Usuário está desativado!\r\nEntre em contato com o Administrador do Sistema."
                                 << "1:Usuário Desativado";
    QTest::newRow("wrong password") << "A"
                                    << "errada123"
                                    << "Erro de validação de Usuário. Senha Corrompida."
                                    << "3:Senha Corrompida";
}

void TestLogin::refusedAttemptsAreRecorded()
{
    QFETCH(QString, situation);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, record);
    addUser(7, QStringLiteral("JOANA"), QStringLiteral("certa123"), QStringLiteral("1"), situation);
    m_messages.expect(message);
    QCOMPARE(Login(*m_app, QStringLiteral("joana"), typed).status, LoginOutcome::Refused);
    QCOMPARE(one(QStringLiteral("SELECT LOG_USU FROM TAB_LOG")), QStringLiteral("7"));
    QCOMPARE(one(QStringLiteral("SELECT CONCAT(MOV_ROTINA, ':', MOV_ATIV) FROM TAB_MOV_USU")), record);
    // Nobody is logged on afterwards.
    QVERIFY(m_app->user.name.isEmpty());
    QCOMPARE(m_app->user.level, 0);
}

void TestLogin::firstLoginCreatesTheOwner()
{
    const LoginOutcome outcome = Login(*m_app, QStringLiteral("admin"), QStringLiteral("admin1234"));
    QCOMPARE(outcome.status, LoginOutcome::LoggedOn);
    QCOMPARE(m_app->user.name, QStringLiteral("ADMIN"));
    QCOMPARE(m_app->user.level, 1);
    QCOMPARE(outcome.ownerTradeName, QStringLiteral("Vending Demonstração Ltda"));
    QCOMPARE(one(QStringLiteral("SELECT CONCAT(CLIKV_ID, '/', CLIKV_NOMEFANTASIA, '/', CLIKV_RAZAO) FROM CLIENTESKV")),
             QStringLiteral("1001/Vending Demonstração Ltda/RAZAO SOCIAL CLIENTE KV"));
    QFile logo(ProgramFolder::dataFile(QStringLiteral("logo_clikv.jpg")));
    QVERIFY(logo.open(QIODevice::ReadOnly));
    QCOMPARE(outcome.logo, logo.readAll());
    const db::ResultSet audit =
        m_app->cnt().query(QStringLiteral("SELECT MOV_ROTINA, MOV_ATIV FROM TAB_MOV_USU ORDER BY MOV_NUM"));
    QCOMPARE(audit.rowCount(), 2);
    QCOMPARE(audit.value(0, 0).toInt(), 4);
    QCOMPARE(audit.value(1, 1).toString(), QStringLiteral("Vending Demonstração Ltdasalvada imagem automaticamente"));

    // The second login finds the record and creates nothing.
    Logoff(*m_app, true);
    QCOMPARE(Login(*m_app, QStringLiteral("ADMIN"), QStringLiteral("admin1234")).status, LoginOutcome::LoggedOn);
    QCOMPARE(one(QStringLiteral("SELECT COUNT(*) FROM CLIENTESKV")), QStringLiteral("1"));
    QCOMPARE(one(QStringLiteral("SELECT COUNT(*) FROM TAB_MOV_USU")), QStringLiteral("2"));
}

void TestLogin::profilesWithoutCommands_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("message");
    QTest::newRow("Gerencial")
        << "2"
        << "O Perfil deste Usuário (Gerencial) ainda \r\nnão está disponível para uso no sistema!";
    QTest::newRow("Operador") << "3"
                              << "O Perfil deste Usuário (Operador) ainda \r\nnão está disponível para uso no sistema!";
}

void TestLogin::profilesWithoutCommands()
{
    QFETCH(QString, level);
    QFETCH(QString, message);
    m_app->cnt().execute(QStringLiteral("INSERT INTO CLIENTESKV (CLIKV_ID, CLIKV_NOMEFANTASIA) VALUES (1001, 'X')"));
    addUser(9, QStringLiteral("PAULO"), QStringLiteral("paulo1234"), level);
    m_messages.expect(message);
    QCOMPARE(Login(*m_app, QStringLiteral("PAULO"), QStringLiteral("paulo1234")).status, LoginOutcome::LoggedOn);
    QCOMPARE(m_app->user.level, level.toInt());
}

void TestLogin::logoffClosesTheRecord()
{
    m_app->cnt().execute(QStringLiteral("INSERT INTO CLIENTESKV (CLIKV_ID, CLIKV_NOMEFANTASIA) VALUES (1001, 'X')"));
    QCOMPARE(Login(*m_app, QStringLiteral("ADMIN"), QStringLiteral("admin1234")).status, LoginOutcome::LoggedOn);
    const int record = m_app->loginRecord;
    QVERIFY(record > 0);
    QCOMPARE(one(QStringLiteral("SELECT LOG_DT_FIM IS NULL FROM TAB_LOG WHERE LOG_NUM = %1").arg(record)),
             QStringLiteral("1"));
    Logoff(*m_app, true);
    QCOMPARE(one(QStringLiteral("SELECT LOG_DT_FIM = LOG_DT_INI FROM TAB_LOG WHERE LOG_NUM = %1").arg(record)),
             QStringLiteral("1"));
    QVERIFY(m_app->user.name.isEmpty());
    QCOMPARE(m_app->user.id, 0); // the ID stays as it was
    // Actions after the logoff still attach to the closed record.
    GravaLog(*m_app, 85, QStringLiteral("depois"));
    QCOMPARE(one(QStringLiteral("SELECT MOV_NUM_LOG FROM TAB_MOV_USU WHERE MOV_ATIV = 'depois'")),
             QString::number(record));
    QFile log(m_app->events().path());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray events = log.readAll();
    QVERIFY(events.contains("Acessou o sistema o usu\xE1rio \"ADMIN\"."));
    QVERIFY(events.contains("O usu\xE1rio \"ADMIN\" saiu do sistema."));
}

void TestLogin::saveRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("profile");
    QTest::addColumn<int>("client");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus");
    const QString rules = QStringLiteral("É obrigatório o preenchimento do campo \"Senha\".\r\nRegras de criação de "
                                         "senha:\r\n - Mínimo de 8 caracteres;\r\n - Pelo menos uma letra;\r\n - Pelo "
                                         "menos um número.");
    QTest::newRow("empty name") << "  "
                                << "abcdef12" << 0 << -1
                                << "É obrigatório o preenchimento do campo \"Nome do Usuário\"."
                                << int(UserField::Password);
    QTest::newRow("ADMIN as a new name") << "admin"
                                         << "abcdef12" << 0 << -1
                                         << "Este nome de usuário está reservado ao sistema.\rEscolha outro nome."
                                         << int(UserField::Name);
    QTest::newRow("password without digit") << "NOVO"
                                            << "abcdefgh" << 0 << -1 << rules << int(UserField::Password);
    QTest::newRow("short password") << "NOVO"
                                    << "abc12" << 0 << -1 << rules << int(UserField::Password);
    QTest::newRow("no profile") << "NOVO"
                                << "abcdef12" << -1 << -1 << "É obrigatória a definição do Perfil do Usuário."
                                << int(UserField::Profile);
    QTest::newRow("Gerencial without client")
        << "NOVO"
        << "abcdef12" << 1 << -1 << "É obrigatória a definição do Cliente associado a esse Usuário."
        << int(UserField::Client);
    QTest::newRow("duplicate name") << "kavora"
                                    << "abcdef12" << 0 << -1
                                    << "Já existe um usuário com este nome.\rEscolha outro nome para o novo usuário."
                                    << int(UserField::Name);
}

void TestLogin::saveRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(int, profile);
    QFETCH(int, client);
    QFETCH(QString, message);
    QFETCH(int, focus);
    m_messages.expect(message);
    UserForm form;
    form.name = name;
    form.password = password;
    form.profile = profile;
    form.clientId = client;
    const UserSaveResult result = SaveUser(*m_app, form);
    QVERIFY(!result.saved);
    QCOMPARE(int(result.focus), focus);
    QCOMPARE(one(QStringLiteral("SELECT COUNT(*) FROM USUARIOS")), QStringLiteral("2"));
}

void TestLogin::newUsers()
{
    m_app->user.name = QStringLiteral("ADMIN");
    UserForm admin;
    admin.name = QStringLiteral("d'ávila");
    admin.password = QStringLiteral("abcdef12");
    admin.profile = 0;
    QVERIFY(SaveUser(*m_app, admin).saved);
    // Stored upper case, next ID after the highest, no client link for an administrator.
    QCOMPARE(one(QStringLiteral("SELECT CONCAT(ID, NOME, NIVEL, USU_SITUACAO) FROM USUARIOS WHERE NOME = 'D''ÁVILA'")),
             QStringLiteral("3D'ÁVILA1A"));
    QCOMPARE(one(QStringLiteral("SELECT COUNT(*) FROM USUARIOS_CLIENTES")), QStringLiteral("0"));
    m_messages.clear();
    QCOMPARE(Login(*m_app, QStringLiteral("D'ÁVILA"), QStringLiteral("abcdef12")).status, LoginOutcome::LoggedOn);

    UserForm manager;
    manager.name = QStringLiteral("gerente");
    manager.password = QStringLiteral("gerente99");
    manager.profile = 1;
    manager.clientId = 42;
    QVERIFY(SaveUser(*m_app, manager).saved);
    QCOMPARE(one(QStringLiteral("SELECT CONCAT(ID_USUARIO, '/', ID_CLIENTE) FROM USUARIOS_CLIENTES")),
             QStringLiteral("4/42"));
    const QString codes = one(QStringLiteral("SELECT GROUP_CONCAT(MOV_ROTINA ORDER BY MOV_NUM) FROM TAB_MOV_USU WHERE "
                                             "MOV_ROTINA = 6"));
    QCOMPARE(codes, QStringLiteral("6,6"));
    QCOMPARE(one(QStringLiteral("SELECT MOV_ATIV FROM TAB_MOV_USU WHERE MOV_ROTINA = 6 ORDER BY MOV_NUM DESC")),
             QStringLiteral("incluido Usuário GERENTE / Perfil = Gerencial"));
}

void TestLogin::editingKeepsOrChangesThePassword()
{
    addUser(5, QStringLiteral("CARLOS"), QStringLiteral("carlos123"), QStringLiteral("2"));
    const QString before = one(QStringLiteral("SELECT SENHA FROM USUARIOS WHERE ID = 5"));
    UserForm edit;
    edit.editTarget = 5;
    edit.name = QStringLiteral("CARLOS");
    edit.password = QLatin1String(UnchangedPassword);
    edit.profile = 2;
    edit.clientId = 3;
    edit.deactivated = true;
    QVERIFY(SaveUser(*m_app, edit).saved);
    QCOMPARE(one(QStringLiteral("SELECT SENHA FROM USUARIOS WHERE ID = 5")), before);
    QCOMPARE(one(QStringLiteral("SELECT CONCAT(NIVEL, USU_SITUACAO) FROM USUARIOS WHERE ID = 5")),
             QStringLiteral("3D"));
    QCOMPARE(one(QStringLiteral("SELECT ID_CLIENTE FROM USUARIOS_CLIENTES WHERE ID_USUARIO = 5")), QStringLiteral("3"));

    edit.password = QStringLiteral("novasenha9");
    edit.clientId = 4;
    edit.deactivated = false;
    QVERIFY(SaveUser(*m_app, edit).saved);
    QString expected;
    HashPassword(QLatin1String(PasswordSalt), QStringLiteral("CARLOS5"), QStringLiteral("novasenha9"), &expected);
    QCOMPARE(one(QStringLiteral("SELECT SENHA FROM USUARIOS WHERE ID = 5")), expected);
    QCOMPARE(one(QStringLiteral("SELECT COUNT(*) FROM USUARIOS_CLIENTES WHERE ID_USUARIO = 5")), QStringLiteral("1"));
    QCOMPARE(one(QStringLiteral("SELECT ID_CLIENTE FROM USUARIOS_CLIENTES WHERE ID_USUARIO = 5")), QStringLiteral("4"));
    QCOMPARE(one(QStringLiteral("SELECT COUNT(*) FROM TAB_MOV_USU WHERE MOV_ROTINA = 7")), QStringLiteral("2"));
}

QTEST_GUILESS_MAIN(TestLogin)
#include "tst_login.moc"
