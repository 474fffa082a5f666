#include "app/ui/StartWindow.h"

#include "app/AppContext.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace zentro {

StartWindow::StartWindow(const QString &buildInfo, bool autoClose, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_buildInfo(buildInfo)
    , m_autoClose(autoClose)
{
    setWindowTitle(QStringLiteral("Sobre..."));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(500, 300);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (m_autoClose) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QTimer::singleShot(3000, this, &QWidget::close);
        return;
    }
    // "Sobre...": the maker's contacts and an OK button instead of the timer.
    setWindowFlags(Qt::Tool);
    const QStringList lines = {QStringLiteral("Zentro Sistemas de Autoatendimento Ltda."),
                               QStringLiteral("Rua das Máquinas, 505 - Distrito Industrial"),
                               QStringLiteral("CEP 13000-505 - Campinas - SP"),
                               QStringLiteral("Telefone: (19) 3505-0505")};
    int y = 130;
    for (const QString &line : lines) {
        auto *label = new QLabel(line, this);
        label->setStyleSheet(QStringLiteral("color: white;"));
        label->setGeometry(32, y, 300, 16);
        y += 16;
    }
    auto *site = new QLabel(QStringLiteral("<a style=\"color: #ffe08a\" href=\"https://www.zentro.com.br\">"
                                           "www.zentro.com.br</a>"),
                            this);
    site->setOpenExternalLinks(true);
    site->setGeometry(32, y, 300, 16);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(400, 250, 80, 28);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
}

void StartWindow::showEvent(QShowEvent *event)
{
    m_up = true;
    QWidget::showEvent(event);
}

void StartWindow::closeEvent(QCloseEvent *event)
{
    m_up = false;
    if (m_autoClose)
        QApplication::restoreOverrideCursor();
    QWidget::closeEvent(event);
}

void StartWindow::mousePressEvent(QMouseEvent *)
{
    if (!m_autoClose)
        close();
}

void StartWindow::keyPressEvent(QKeyEvent *event)
{
    if (!m_autoClose && (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return))
        close();
}

void StartWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x0b, 0x3d, 0x6b));
    sky.setColorAt(1, QColor(0x12, 0x7a, 0x8a));
    p.fillRect(rect(), sky);

    // A card sliding into a reader slot: what the program is about.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(QRectF(330, 60, 130, 170), 14, 14);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawRoundedRect(QRectF(355, 40, 80, 110), 8, 8);
    p.setBrush(QColor(0xe8, 0xb9, 0x3c));
    p.drawRoundedRect(QRectF(370, 60, 24, 18), 3, 3);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRect(QRectF(345, 150, 100, 6));

    p.setPen(Qt::white);
    QFont title = font();
    title.setPointSize(34);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(30, 40, 300, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zentro"));

    QFont small = font();
    small.setPointSize(10);
    p.setFont(small);
    p.drawText(QRectF(32, 105, 300, 20), Qt::AlignLeft, QStringLiteral("Leitores, cartões e consumos"));
    p.drawText(QRectF(32, 200, 440, 20), Qt::AlignLeft, QStringLiteral("Versão do Zentro: ") + m_buildInfo);
    p.drawText(QRectF(32, 222, 440, 20), Qt::AlignLeft,
               QStringLiteral("Versão requerida do banco de dados: ") + QLatin1String(AppContext::RequiredVersion));
    if (m_autoClose) {
        small.setBold(true);
        p.setFont(small);
        p.drawText(QRectF(32, 258, 440, 20), Qt::AlignLeft, QStringLiteral("Carregando..."));
    }
}

} // namespace zentro
