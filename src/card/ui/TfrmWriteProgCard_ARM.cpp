#include "card/ui/TfrmWriteProgCard_ARM.h"

#include "app/AppContext.h"
#include "card/PcscLiteBackend.h"
#include "card/ProgramCardWriter.h"
#include "card/TPCSC.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

namespace zentro {

namespace {

// Readers need a moment between connecting and resetting a new card.
constexpr int InsertionPauseMs = 100;

} // namespace

TfrmWriteProgCard_ARM::TfrmWriteProgCard_ARM(AppContext &app, QWidget *parent)
    : TfrmWriteProgCard_ARM(app, std::make_shared<PcscLiteBackend>(), parent)
{
}

TfrmWriteProgCard_ARM::TfrmWriteProgCard_ARM(AppContext &app, std::shared_ptr<PcscBackend> backend, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
    , m_pcsc(new TPCSC(std::move(backend), this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("TfrmWriteProgCard_ARM"));
    setWindowTitle(ProgramCardWriter::Caption);
    buildControls();

    m_pcsc->setObjectName(QStringLiteral("PCSC"));
    connect(m_pcsc, &TPCSC::OnCardInserted, this, &TfrmWriteProgCard_ARM::PCSCCardInserted);
    connect(m_pcsc, &TPCSC::OnCardActive, this, &TfrmWriteProgCard_ARM::PCSCCardActive);
    connect(m_pcsc, &TPCSC::OnCardRemoved, this, &TfrmWriteProgCard_ARM::PCSCCardRemoved);
    connect(m_pcsc, &TPCSC::OnReaderListChange, this, &TfrmWriteProgCard_ARM::PCSCReaderListChange);
    m_pcsc->Init();
}

TfrmWriteProgCard_ARM::~TfrmWriteProgCard_ARM()
{
    m_pcsc->Close();
}

void TfrmWriteProgCard_ARM::buildControls()
{
    auto *readerBox = new QGroupBox(QStringLiteral("Smart Card Reader"), this);
    m_cb_AvalReaders = new QComboBox(readerBox);
    m_cb_AvalReaders->setObjectName(QStringLiteral("cb_AvalReaders"));
    m_cb_AvalReaders->setMinimumWidth(240);
    m_ed_ActiveReader = new QLineEdit(readerBox);
    m_ed_ActiveReader->setObjectName(QStringLiteral("ed_ActiveReader"));
    m_ed_ActiveReader->setReadOnly(true);
    m_ed_ActiveReader->setFocusPolicy(Qt::NoFocus);
    auto *readerForm = new QFormLayout(readerBox);
    readerForm->addRow(QStringLiteral("Leitor:"), m_cb_AvalReaders);
    readerForm->addRow(QStringLiteral("Leitor Ativo:"), m_ed_ActiveReader);

    auto *fileBox = new QGroupBox(QStringLiteral("Arquivo Binário do Programa"), this);
    m_edARQUIVO = new QLineEdit(fileBox);
    m_edARQUIVO->setObjectName(QStringLiteral("edARQUIVO"));
    m_btArquivo = new QPushButton(QStringLiteral("..."), fileBox);
    m_btArquivo->setObjectName(QStringLiteral("btArquivo"));
    m_btArquivo->setFixedWidth(32);
    auto *fileRow = new QHBoxLayout(fileBox);
    fileRow->addWidget(m_edARQUIVO, 1);
    fileRow->addWidget(m_btArquivo);

    m_pbGravacao = new QProgressBar(this);
    m_pbGravacao->setObjectName(QStringLiteral("pbGravacao"));
    m_pbGravacao->setRange(0, 100);
    m_pbGravacao->setValue(0);

    m_bt_OpenReader = new QPushButton(QStringLiteral("Abre Leitor"), this);
    m_bt_OpenReader->setObjectName(QStringLiteral("bt_OpenReader"));
    m_bt_CloseReader = new QPushButton(QStringLiteral("Fecha Leitor"), this);
    m_bt_CloseReader->setObjectName(QStringLiteral("bt_CloseReader"));
    m_bt_CloseReader->setEnabled(false);
    m_bt_writecard = new QPushButton(QStringLiteral("Grava Programa no Cartão"), this);
    m_bt_writecard->setObjectName(QStringLiteral("bt_writecard"));
    m_bt_writecard->setEnabled(false);
    m_bt_Close = new QPushButton(QStringLiteral("Fechar"), this);
    m_bt_Close->setObjectName(QStringLiteral("bt_Close"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_bt_OpenReader);
    buttons->addWidget(m_bt_CloseReader);
    buttons->addWidget(m_bt_writecard);
    buttons->addStretch(1);
    buttons->addWidget(m_bt_Close);

    m_sb_status = new QStatusBar(this);
    m_sb_status->setObjectName(QStringLiteral("sb_status"));
    m_sb_status->setSizeGripEnabled(false);
    m_statusPanel = new QLabel(m_sb_status);
    m_sb_status->addWidget(m_statusPanel, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(readerBox);
    layout->addWidget(fileBox);
    layout->addWidget(m_pbGravacao);
    layout->addLayout(buttons);
    layout->addWidget(m_sb_status);
    layout->setContentsMargins(9, 9, 9, 0);

    connect(m_btArquivo, &QPushButton::clicked, this, &TfrmWriteProgCard_ARM::browseClick);
    connect(m_bt_OpenReader, &QPushButton::clicked, this, &TfrmWriteProgCard_ARM::bt_OpenReaderClick);
    connect(m_bt_CloseReader, &QPushButton::clicked, this, &TfrmWriteProgCard_ARM::bt_CloseReaderClick);
    connect(m_bt_writecard, &QPushButton::clicked, this, &TfrmWriteProgCard_ARM::bt_writecardClick);
    connect(m_bt_Close, &QPushButton::clicked, this, &TfrmWriteProgCard_ARM::bt_CloseClick);
}

QString TfrmWriteProgCard_ARM::statusText() const
{
    return m_statusPanel->text();
}

void TfrmWriteProgCard_ARM::setStatus(const QString &text)
{
    m_statusPanel->setText(text);
}

void TfrmWriteProgCard_ARM::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmWriteProgCard_ARM::closeEvent(QCloseEvent *event)
{
    // The window closes only with the reader closed, which a write keeps open.
    if (m_busy || !m_bt_Close->isEnabled()) {
        event->ignore();
        return;
    }
    m_pcsc->Close();
    event->accept();
}

void TfrmWriteProgCard_ARM::browseClick()
{
    if (m_busy)
        return;
    const QString start = m_edARQUIVO->text().isEmpty() ? QString() : QFileInfo(m_edARQUIVO->text()).path();
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Arquivo Binário do Programa"), start,
                                                      QStringLiteral("Arquivo .BIN (*.BIN *.bin)"));
    if (!file.isEmpty())
        m_edARQUIVO->setText(file);
}

void TfrmWriteProgCard_ARM::PCSCReaderListChange()
{
    m_cb_AvalReaders->clear();
    m_cb_AvalReaders->addItems(m_pcsc->ReaderList());
    if (m_cb_AvalReaders->count() > 0)
        m_cb_AvalReaders->setCurrentIndex(0);
    if (m_pcsc->NumReaders() == 1)
        bt_OpenReaderClick();
}

void TfrmWriteProgCard_ARM::bt_OpenReaderClick()
{
    if (m_busy || m_cb_AvalReaders->currentIndex() < 0)
        return;
    m_pcsc->SetUseReaderNum(m_cb_AvalReaders->currentIndex());
    m_pcsc->Open();
    m_cb_AvalReaders->setEnabled(false);
    m_bt_OpenReader->setEnabled(false);
    m_bt_CloseReader->setEnabled(true);
    m_bt_writecard->setEnabled(true);
    m_bt_Close->setEnabled(false);
}

void TfrmWriteProgCard_ARM::bt_CloseReaderClick()
{
    if (m_busy)
        return;
    m_pcsc->Close();
    m_cb_AvalReaders->setEnabled(true);
    m_bt_OpenReader->setEnabled(true);
    m_bt_CloseReader->setEnabled(false);
    m_bt_writecard->setEnabled(false);
    m_bt_Close->setEnabled(true);
    setStatus(QString());
}

void TfrmWriteProgCard_ARM::bt_CloseClick()
{
    if (m_busy)
        return;
    close();
}

void TfrmWriteProgCard_ARM::PCSCCardInserted()
{
    QThread::msleep(InsertionPauseMs);
    m_pcsc->Connect();
    QThread::msleep(InsertionPauseMs);
    m_pcsc->Reconnect(TPCSC::ResetOnReconnect);
    QThread::msleep(InsertionPauseMs);
}

void TfrmWriteProgCard_ARM::PCSCCardActive()
{
    setStatus(QStringLiteral("ATR: ") + m_pcsc->AttrCardATR());
}

void TfrmWriteProgCard_ARM::PCSCCardRemoved()
{
    setStatus(QStringLiteral("Sem cartão inserido"));
    m_pcsc->Disconnect();
}

void TfrmWriteProgCard_ARM::bt_writecardClick()
{
    if (m_busy)
        return;
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The operator reads and answers messages with the ordinary cursor.
    auto withArrow = [](auto &&show) {
        QApplication::restoreOverrideCursor();
        auto answer = show();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return answer;
    };
    ProgramCardWriter::Hooks hooks;
    hooks.messageBox = [this, withArrow](const QString &text, const QString &caption, int flags) {
        return withArrow([&] { return m_app.showMessageBox(text, caption, flags); });
    };
    hooks.message = [this, withArrow](const QString &text) {
        withArrow([&] {
            m_app.showMessage(text);
            return 0;
        });
    };
    hooks.progress = [this](int percent) { m_pbGravacao->setValue(percent); };
    hooks.processEvents = [this] { m_app.processEvents(); };
    hooks.pause = [](int milliseconds) { QThread::msleep(milliseconds); };

    ProgramCardWriter writer(*m_pcsc, hooks);
    writer.write(m_edARQUIVO->text());

    QApplication::restoreOverrideCursor();
    m_busy = false;
    m_pbGravacao->setValue(0);
}

} // namespace zentro
