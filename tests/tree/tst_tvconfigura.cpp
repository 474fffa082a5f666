// The tree widget, offscreen against the real server: what a logged-off tree
// refuses, renaming in place with the keyboard, the context menu with the main
// window's commands, what a double-click opens, the counters and the icons.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "TreeTestHelpers.h"
#include "app/AppContext.h"
#include "app/DbUpdate.h"
#include "app/Startup.h"
#include "audit/AuditTrail.h"
#include "tree/ItemTree.h"
#include "tree/ui/TreeIcons.h"
#include "tree/ui/TvConfigura.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>
#include <QtTest>

using namespace zentro;
using namespace treetest;

class TestTvConfigura : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loggedOffTreeRefusesEverything();
    void renameInPlaceWithTheKeyboard();
    void escapeAbandonsTheEdit();
    void newClientOpensItsNameForEditing();
    void menuHoldsTheMainWindowsCommandsInOrder();
    void openEdit_data();
    void openEdit();
    void deleteFromTheMirrorRefreshesCounters();
    void hintNamesTheClient();
    void iconsAreDrawnAndDistinct();
    void folderIconFollowsTheView();

private:
    void press(TreeNode *node);
    QLineEdit *editor() const;
    QStringList visibleCommands() const;

    TestDatabase m_db;
    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_app;
    std::unique_ptr<TvConfigura> m_tv;
};

void TestTvConfigura::initTestCase()
{
    qputenv("ZENTRO_NOW", "2026-03-04T05:06:07");
}

void TestTvConfigura::init()
{
    m_messages.clear();
    m_app = std::make_unique<AppContext>(m_messages);
    QVERIFY(openDemoAsAdmin(m_db, QStringLiteral("tvconfigura"), *m_app,
                            m_folder.path() + QStringLiteral("/events_log.htm")));
    m_tv = std::make_unique<TvConfigura>(*m_app);
    m_tv->resize(320, 600);
    m_tv->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tv.get()));
    QVERIFY(m_tv->LoadTreeview());
    m_tv->setOperational(true);
}

void TestTvConfigura::cleanup()
{
    QVERIFY2(m_messages.allShown(), "a message the test expected was not shown");
    m_tv.reset();
    m_app.reset();
    m_db.drop();
}

void TestTvConfigura::press(TreeNode *node)
{
    m_tv->selectNode(node);
    const QRect rect = m_tv->view()->visualRect(m_tv->tree().indexOf(node));
    QVERIFY(rect.isValid());
    QTest::mouseClick(m_tv->view()->viewport(), Qt::LeftButton, {}, rect.center());
}

QLineEdit *TestTvConfigura::editor() const
{
    return m_tv->view()->findChild<QLineEdit *>(QStringLiteral("renameEditor"));
}

QStringList TestTvConfigura::visibleCommands() const
{
    QStringList captions;
    for (const QAction *a : m_tv->contextMenu()->actions()) {
        if (a->isVisible() && !a->isSeparator())
            captions << a->text();
    }
    return captions;
}

void TestTvConfigura::loggedOffTreeRefusesEverything()
{
    TreeNode *client = at(m_tv->tree(), {"Clientes", "Padaria Pão de Ouro"});
    m_tv->selectNode(client);
    m_tv->setOperational(false);
    QVERIFY(!m_tv->isEnabled());
    QCOMPARE(m_tv->view()->contextMenuPolicy(), Qt::NoContextMenu);
    m_tv->AuxRenomear();
    QVERIFY(!editor());

    m_tv->setOperational(true);
    QCOMPARE(m_tv->view()->contextMenuPolicy(), Qt::CustomContextMenu);
    m_tv->AuxRenomear();
    QVERIFY(editor());
    // Logging off abandons an edit under way.
    m_tv->setOperational(false);
    QTRY_VERIFY(!editor() || !editor()->isVisible());
    QCOMPARE(client->text(), QStringLiteral("Padaria Pão de Ouro"));
}

void TestTvConfigura::renameInPlaceWithTheKeyboard()
{
    TreeNode *client = at(m_tv->tree(), {"Clientes", "Padaria Pão de Ouro"});
    TreeNode *reader = entriesWithId(m_tv->tree(), 110).first();
    m_tv->selectNode(client);
    m_tv->AuxRenomear();
    QLineEdit *field = editor();
    QVERIFY(field);
    QCOMPARE(field->text(), QStringLiteral("Padaria Pão de Ouro"));
    field->selectAll();
    // Refused characters and Ctrl or Alt combinations never reach the field.
    QTest::keyClicks(field, QStringLiteral("Pao: \"Quente\" & Cia!"));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace, Qt::AltModifier);
    QCOMPARE(field->text(), QStringLiteral("Pao Quente  Cia"));
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_COMPARE(client->text(), QStringLiteral("Pao Quente Cia"));
    QCOMPARE(scalar(*m_app, "select NOME_LOCAL from ITENS where ID = 5"), QStringLiteral("Pao Quente Cia"));
    QCOMPARE(m_tv->selectedNode(), client);
    QCOMPARE(reader->nodeData().clientName, QStringLiteral("Pao Quente Cia"));

    // Readers are never renamed in place.
    m_tv->selectNode(reader);
    m_tv->AuxRenomear();
    QVERIFY(!editor() || !editor()->isVisible());
}

void TestTvConfigura::escapeAbandonsTheEdit()
{
    TreeNode *sub = at(m_tv->tree(), {"Clientes", "Hospital São Lucas", "PRONTO-SOCORRO"});
    m_tv->selectNode(sub);
    m_tv->AuxRenomear();
    QLineEdit *field = editor();
    QVERIFY(field);
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("EMERGENCIA"));
    QTest::keyClick(field, Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(sub->text(), QStringLiteral("PRONTO-SOCORRO"));
    QCOMPARE(scalar(*m_app, "select NOME_LOCAL from ITENS where ID = 8"), QStringLiteral("PRONTO-SOCORRO"));
}

void TestTvConfigura::newClientOpensItsNameForEditing()
{
    press(m_tv->tree().topLevel(0));
    m_tv->mnNovoClienteClick();
    QLineEdit *field = editor();
    QVERIFY(field);
    QCOMPARE(field->text(), QStringLiteral("Novo Cliente"));
    TreeNode *created = m_tv->selectedNode();
    QCOMPARE(created->text(), QStringLiteral("Novo Cliente"));
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("Sorveteria Polar"));
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_COMPARE(created->text(), QStringLiteral("Sorveteria Polar"));
    QCOMPARE(scalar(*m_app, QStringLiteral("select NOME_LOCAL from ITENS where ID = ") +
                                QString::number(created->nodeData().id)),
             QStringLiteral("Sorveteria Polar"));
    QCOMPARE(childTexts(m_tv->tree().topLevel(0)).indexOf(QStringLiteral("Sorveteria Polar")), 4);
}

void TestTvConfigura::menuHoldsTheMainWindowsCommandsInOrder()
{
    // The main window's own commands, added in any order.
    QAction consumers(QStringLiteral("Consumidores"));
    QAction history(QStringLiteral("Histórico Manutenção"));
    QAction move(QStringLiteral("Mover para cliente..."));
    QAction logs(QStringLiteral("&Logs de Transações"));
    for (QAction *a : {&consumers, &history, &move, &logs})
        m_tv->addCommand(a);

    m_tv->prepareContextMenu(at(m_tv->tree(), {"Estoque", "LEITOR RESERVA 1 (A0B1C2D3E4F50111)"}));
    QCOMPARE(visibleCommands(), (QStringList{"Abrir / Editar", "Novo Leitor", "Mover para cliente...", "Excluir",
                                             "Alterar leitor", "Buscar Cliente", "&Logs de Transações", "Manutenção",
                                             "Histórico Manutenção", "Propriedades", "Consumidores"}));

    m_tv->prepareContextMenu(at(m_tv->tree(), {"Manutenção", "PÁTIO (A0B1C2D3E4F50107)"}));
    QAction *maintenance = nullptr;
    for (QAction *a : m_tv->contextMenu()->actions()) {
        if (a->text() == QStringLiteral("Manutenção"))
            maintenance = a;
    }
    QVERIFY(maintenance->isChecked());
    QSignalSpy requested(m_tv.get(), &TvConfigura::manutencaoRequested);
    maintenance->trigger();
    QCOMPARE(requested.size(), 1);
    QCOMPARE(requested.at(0).at(0).toBool(), true);

    m_tv->prepareContextMenu(at(m_tv->tree(), {"Não Cadastrados"}));
    QCOMPARE(visibleCommands(), QStringList{"Expandir"});
    // The main window's own actions stay usable in its menus and shortcuts.
    QVERIFY(consumers.isVisible());
    QSignalSpy triggered(&consumers, &QAction::triggered);
    for (QAction *a : m_tv->contextMenu()->actions()) {
        if (a->text() == QStringLiteral("Consumidores"))
            a->trigger();
    }
    QCOMPARE(triggered.size(), 1);
    m_tv->prepareContextMenu(at(m_tv->tree(), {"Clientes", "Colégio Nova Geração", "CANTINA (A0B1C2D3E4F50106)"}));
    QVERIFY(!maintenance->isChecked());
}

void TestTvConfigura::openEdit_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("request");  // what the main window is asked to open
    QTest::addColumn<QString>("selected"); // the entry selected afterwards
    QTest::addColumn<QString>("message");

    const QStringList r101 = {"Clientes", "Metalúrgica Açoforte", "ÁREA INDUSTRIAL", "REFEITÓRIO 1 (A0B1C2D3E4F50101)"};
    const QString r101Text = QStringLiteral("REFEITÓRIO 1 (A0B1C2D3E4F50101)");
    QTest::newRow("stock reader") << QStringList{"Estoque", "LEITOR RESERVA 1 (A0B1C2D3E4F50111)"} << ""
                                  << "LEITOR RESERVA 1 (A0B1C2D3E4F50111)"
                                  << "Leitores em Estoque não possuem configurações.";
    QTest::newRow("installed reader") << r101 << "configurar||1" << r101Text << "";
    QTest::newRow("installed mirror") << QStringList{"Equipamentos Instalados", "REFEITÓRIO 1 (A0B1C2D3E4F50101)"}
                                      << "configurar||1" << r101Text << "";
    QTest::newRow("own list") << r101 + QStringList{"Tabelas", "Lista de Créditos"} << "configurar|Lista de Créditos|0"
                              << r101Text << "";
    QTest::newRow("Tabelas") << r101 + QStringList{"Tabelas"} << "configurar|Tabelas|0" << r101Text << "";
    QTest::newRow("reader logs") << r101 + QStringList{"Logs"} << "logs" << r101Text << "";
    QTest::newRow("reader properties") << r101 + QStringList{"Propriedades"} << "propriedades" << r101Text << "";
    QTest::newRow("master list") << r101 + QStringList{"Tabelas", "Lista de Exclusão"} << ""
                                 << "Lista de Exclusão"
                                 << "master";
    QTest::newRow("MasterConf") << QStringList{"Clientes", "Hospital São Lucas", "MasterConf"} << "master|Configurações"
                                << "MasterConf"
                                << "";
    QTest::newRow("master entry") << QStringList{"Clientes", "Hospital São Lucas", "MasterConf", "Lista de Grupos"}
                                  << "master|Lista de Grupos"
                                  << "Lista de Grupos"
                                  << "";
    QTest::newRow("master logs") << QStringList{"Clientes", "Hospital São Lucas", "MasterConf", "Logs"} << "logs"
                                 << "Hospital São Lucas"
                                 << "";
    QTest::newRow("fixed folder") << QStringList{"Estoque"} << ""
                                  << "Estoque"
                                  << "";
}

void TestTvConfigura::openEdit()
{
    QFETCH(QStringList, path);
    QFETCH(QString, request);
    QFETCH(QString, selected);
    QFETCH(QString, message);
    QStringList requests;
    connect(m_tv.get(), &TvConfigura::configurarLeitorRequested, this,
            [&](const QString &start, bool hide) { requests << "configurar|" + start + "|" + QString::number(hide); });
    connect(m_tv.get(), &TvConfigura::masterConfRequested, this,
            [&](const QString &start) { requests << "master|" + start; });
    connect(m_tv.get(), &TvConfigura::logsRequested, this, [&] { requests << "logs"; });
    connect(m_tv.get(), &TvConfigura::propriedadesRequested, this, [&] { requests << "propriedades"; });

    if (message == QStringLiteral("master"))
        m_messages.expectPrefix(QStringLiteral("Esta opção não pode ser configurada por aqui pois está assumindo a \r\n"
                                               "configuração cadastrada no cadastro de Cliente (Masterconf).\r\n"));
    else if (!message.isEmpty())
        m_messages.expect(message, QStringLiteral("Configurações"), mb::IconInformation);

    TreeNode *entry = at(m_tv->tree(), path);
    QVERIFY(entry);
    m_tv->selectNode(entry);
    m_tv->abrirEditar();
    QCOMPARE(requests.join(','), request);
    QCOMPARE(m_tv->selectedNode()->text(), selected);
    if (request.startsWith(QStringLiteral("configurar")))
        QCOMPARE(m_tv->tree().topFolderOf(m_tv->selectedNode())->text(), QStringLiteral("Clientes"));
}

void TestTvConfigura::deleteFromTheMirrorRefreshesCounters()
{
    QSignalSpy counters(m_tv.get(), &TvConfigura::countersChanged);
    QSignalSpy clicked(m_tv.get(), &TvConfigura::clicked);
    TreeNode *mirror = at(m_tv->tree(), {"Equipamentos Instalados", "CORREDOR A (A0B1C2D3E4F50104)"});
    press(mirror);
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(m_tv->clickedNode(), mirror);
    m_messages.expect(QStringLiteral("Deseja que o leitor seja movido para Estoque?"), QStringLiteral("Excluir"),
                      mb::YesNoCancel | mb::IconQuestion, mb::IdYes);
    m_tv->mnExcluirClick();
    QVERIFY(!counters.isEmpty());
    QCOMPARE(counters.last().at(0).toString(), QStringLiteral("Leitores Instalados: 9"));
    QCOMPARE(counters.last().at(1).toString(), QStringLiteral("Em Estoque: 5"));
    QVERIFY(at(m_tv->tree(), {"Estoque", "CORREDOR A (A0B1C2D3E4F50104)"}));
    QVERIFY(!at(m_tv->tree(), {"Equipamentos Instalados", "CORREDOR A (A0B1C2D3E4F50104)"}));
}

void TestTvConfigura::hintNamesTheClient()
{
    QSignalSpy hints(m_tv.get(), &TvConfigura::hintChanged);
    TreeNode *reader = entriesWithId(m_tv->tree(), 105).first();
    m_tv->selectNode(reader);
    QWidget *viewport = m_tv->view()->viewport();
    QTest::mouseMove(viewport, m_tv->view()->visualRect(m_tv->tree().indexOf(reader)).center());
    QTRY_VERIFY(!hints.isEmpty());
    QCOMPARE(hints.last().at(0).toString(), QStringLiteral("Pertence ao Cliente: Hospital São Lucas"));
    // A client carries no hint; neither does the empty space below the entries.
    QTest::mouseMove(viewport, m_tv->view()->visualRect(m_tv->tree().indexOf(reader->parent())).center());
    QTRY_COMPARE(hints.last().at(0).toString(), QString());
    QTest::mouseMove(viewport, m_tv->view()->visualRect(m_tv->tree().indexOf(reader)).center());
    QTRY_COMPARE(hints.last().at(0).toString(), QStringLiteral("Pertence ao Cliente: Hospital São Lucas"));
    QTest::mouseMove(viewport, QPoint(10, viewport->height() - 3));
    QTRY_COMPARE(hints.last().at(0).toString(), QString());
}

void TestTvConfigura::iconsAreDrawnAndDistinct()
{
    TreeIcons icons;
    QList<QImage> images;
    for (int position : TreeIcons::positions()) {
        const QIcon icon = icons.icon(position);
        QVERIFY2(!icon.isNull(), qPrintable(QString::number(position)));
        const QImage image = icon.pixmap(16, 16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        // Something is drawn: at least a quarter of the square is not transparent.
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128;
        QVERIFY2(opaque > 64, qPrintable(QString::number(position)));
        for (int i = 0; i < images.size(); ++i)
            QVERIFY2(images.at(i) != image, qPrintable(QStringLiteral("%1 looks like an earlier one").arg(position)));
        images << image;
    }
    QVERIFY(icons.icon(5).isNull());
    QVERIFY(TreeIcons::positions().contains(icon::Reader));
    QVERIFY(TreeIcons::positions().contains(icon::ReaderMaintenance));

    // The picture of the tree, for whoever wants to look at it.
    for (const QStringList &path : {QStringList{"Clientes", "Metalúrgica Açoforte", "ÁREA INDUSTRIAL",
                                                "REFEITÓRIO 2 (A0B1C2D3E4F50102)", "Tabelas"},
                                    QStringList{"Clientes", "Metalúrgica Açoforte", "MasterConf"},
                                    QStringList{"Manutenção"}, QStringList{"Estoque"}}) {
        m_tv->view()->expand(m_tv->tree().indexOf(at(m_tv->tree(), path)));
        m_tv->selectNode(at(m_tv->tree(), path));
    }
    const QString shot = qEnvironmentVariable("ZENTRO_TREE_SCREENSHOT");
    if (!shot.isEmpty())
        m_tv->grab().save(shot);
}

void TestTvConfigura::folderIconFollowsTheView()
{
    const QModelIndex clientes = m_tv->tree().indexOf(m_tv->tree().topLevel(0));
    QCOMPARE(clientes.data(ItemTree::IconRole).toInt(), icon::FolderClosed);
    m_tv->view()->expand(clientes);
    QCOMPARE(clientes.data(ItemTree::IconRole).toInt(), icon::FolderOpen);
    const QModelIndex master = m_tv->tree().indexOf(at(m_tv->tree(), {"Clientes", "Hospital São Lucas", "MasterConf"}));
    m_tv->view()->expand(master);
    QCOMPARE(master.data(ItemTree::IconRole).toInt(), icon::MasterConfOpen);
    m_tv->view()->collapse(master);
    QCOMPARE(master.data(ItemTree::IconRole).toInt(), icon::MasterConfClosed);
    // The tree's own collapse reaches the view.
    m_tv->tree().collapse(m_tv->tree().topLevel(0), true);
    QVERIFY(!m_tv->view()->isExpanded(clientes));
}

QTEST_MAIN(TestTvConfigura)
#include "tst_tvconfigura.moc"
