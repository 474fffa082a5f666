// Window-wide behaviour: the field-help window and the wheel over grids.

#include "app/ui/MiniHelp.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

using namespace zentro;

class TestWindowHelpers : public QObject
{
    Q_OBJECT

private slots:
    void oneHelpWindowAtATime();
    void wheelMovesOneRowPerNotch();
};

void TestWindowHelpers::oneHelpWindowAtATime()
{
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    ShowMiniHelp(&area, QStringLiteral("Valor em reais.\nUse vírgula."), QStringLiteral("Crédito"));
    ShowMiniHelp(&area, QStringLiteral("Grupo do usuário"), QStringLiteral("Grupo"));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto open = area.subWindowList();
    QCOMPARE(open.size(), 1);
    QCOMPARE(open.first()->widget()->findChild<QPlainTextEdit *>()->toPlainText(), QStringLiteral("Grupo do usuário"));
    QVERIFY(open.first()->widget()->findChild<QPlainTextEdit *>()->isReadOnly());
    QTest::keyClick(open.first()->widget(), Qt::Key_Escape);
    QTRY_VERIFY(area.subWindowList().isEmpty());
}

void TestWindowHelpers::wheelMovesOneRowPerNotch()
{
    QStandardItemModel model(50, 2);
    QTableView view;
    view.setModel(&model);
    view.resize(300, 200);
    view.show();
    qApp->installEventFilter(CreateGridWheelFilter(qApp));
    view.setCurrentIndex(model.index(10, 0));
    auto wheel = [&view](int delta) {
        QWheelEvent e(QPointF(20, 20), view.viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &e);
    };
    wheel(-120);
    QCOMPARE(view.currentIndex().row(), 11);
    wheel(-120);
    wheel(120);
    wheel(120);
    wheel(120);
    QCOMPARE(view.currentIndex().row(), 9);
}

QTEST_MAIN(TestWindowHelpers)
#include "tst_windowhelpers.moc"
