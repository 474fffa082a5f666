#include "app/ui/MiniHelp.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace zentro {

namespace {

class HelpWindow : public QWidget
{
public:
    HelpWindow(const QString &text, const QString &title)
    {
        setWindowTitle(title);
        setObjectName(QStringLiteral("frmMiniHelp"));
        auto *layout = new QVBoxLayout(this);
        auto *heading = new QLabel(title, this);
        QFont f = heading->font();
        f.setBold(true);
        heading->setFont(f);
        layout->addWidget(heading);
        auto *memo = new QPlainTextEdit(this);
        memo->setReadOnly(true);
        memo->setPlainText(text);
        memo->setContextMenuPolicy(Qt::ActionsContextMenu);
        auto *copy = new QAction(QStringLiteral("Copiar"), memo);
        QObject::connect(copy, &QAction::triggered, memo,
                         [memo] { QApplication::clipboard()->setText(memo->textCursor().selectedText()); });
        memo->addAction(copy);
        const int lines = qMax(1, int(text.count(QLatin1Char('\n'))) + 1);
        memo->setFixedHeight(14 * lines + 5 + 10);
        layout->addWidget(memo);
        layout->addSpacing(10);
        auto *ok = new QPushButton(QStringLiteral("OK"), this);
        QObject::connect(ok, &QPushButton::clicked, this, &QWidget::close);
        layout->addWidget(ok, 0, Qt::AlignHCenter);
        layout->addSpacing(18);
        auto *corner = new QLabel(QStringLiteral("Ajuda"), this);
        corner->setAlignment(Qt::AlignRight);
        layout->addWidget(corner);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            close();
            return;
        }
        QWidget::keyPressEvent(event);
    }
};

class GridWheelFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto *viewport = qobject_cast<QWidget *>(watched);
        auto *view = viewport ? qobject_cast<QAbstractItemView *>(viewport->parentWidget()) : nullptr;
        if (!view || view->viewport() != viewport || !view->inherits("QTableView"))
            return false;
        const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (delta == 0)
            return false;
        QKeyEvent key(QEvent::KeyPress, delta < 0 ? Qt::Key_Down : Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(view, &key);
        return true;
    }
};

} // namespace

void ShowMiniHelp(QMdiArea *area, const QString &text, const QString &title)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CloseMiniHelp(area);
    auto *help = new HelpWindow(text, title);
    help->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = area->addSubWindow(help, Qt::FramelessWindowHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(help, &QObject::destroyed, sub, &QMdiSubWindow::close, Qt::QueuedConnection);
    // Activating another window closes the help.
    QObject::connect(area, &QMdiArea::subWindowActivated, sub, [sub](QMdiSubWindow *active) {
        if (active && active != sub)
            sub->close();
    });
    sub->adjustSize();
    sub->move(qMax(0, (area->width() - sub->width()) / 2), 28);
    sub->show();
    help->setFocus();
    QApplication::restoreOverrideCursor();
}

void CloseMiniHelp(QMdiArea *area)
{
    for (QMdiSubWindow *sub : area->subWindowList()) {
        if (sub->widget() && sub->widget()->objectName() == QStringLiteral("frmMiniHelp")) {
            sub->widget()->setObjectName(QString());
            sub->close();
        }
    }
}

QObject *CreateGridWheelFilter(QObject *parent)
{
    return new GridWheelFilter(parent);
}

} // namespace zentro
