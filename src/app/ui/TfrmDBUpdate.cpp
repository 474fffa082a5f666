#include "app/ui/TfrmDBUpdate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

namespace zentro {

TfrmDBUpdate::TfrmDBUpdate(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Atualização de Estrutura de Banco de Dados"));
    setMinimumWidth(520);
    auto *outer = new QVBoxLayout(this);
    m_pnDBUpdate = new QWidget(this);
    auto *panel = new QVBoxLayout(m_pnDBUpdate);
    auto *fixed = new QLabel(QStringLiteral("Atualização do Banco de Dados em Andamento - Por favor, aguarde..."));
    QFont bold = fixed->font();
    bold.setBold(true);
    fixed->setFont(bold);
    m_lblDBUpdate = new QLabel;
    m_pbDBUpdate = new QProgressBar;
    panel->addWidget(fixed);
    panel->addWidget(m_lblDBUpdate);
    panel->addWidget(m_pbDBUpdate);
    outer->addWidget(m_pnDBUpdate);
    m_pnDBUpdate->hide();
    adjustSize();
}

void TfrmDBUpdate::open()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
    QApplication::processEvents();
}

void TfrmDBUpdate::setPanelVisible(bool visible)
{
    m_pnDBUpdate->setVisible(visible);
    adjustSize();
    QApplication::processEvents();
}

void TfrmDBUpdate::setStatus(const QString &text)
{
    m_lblDBUpdate->setText(text);
    QApplication::processEvents();
}

void TfrmDBUpdate::setProgress(int position, int maximum)
{
    m_pbDBUpdate->setRange(0, qMax(maximum, 1));
    m_pbDBUpdate->setValue(position);
}

void TfrmDBUpdate::pause()
{
    m_pbDBUpdate->setRange(0, 100);
    m_pbDBUpdate->setValue(0);
    for (int i = 0; i < 100; ++i) {
        QThread::msleep(10);
        m_pbDBUpdate->setValue(i + 1);
        QApplication::processEvents();
    }
}

void TfrmDBUpdate::close()
{
    QWidget::close();
}

} // namespace zentro
