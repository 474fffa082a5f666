#include "card/ui/TfrmCardFormat.h"

#include "app/AppContext.h"
#include "card/CardFormatter.h"
#include "card/CardTemplates.h"
#include "card/PcscLiteBackend.h"
#include "card/TPCSC.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentro {

namespace {

const QString Caption = QStringLiteral("Formatação de Cartões");

} // namespace

TfrmCardFormat::TfrmCardFormat(AppContext &app, QWidget *parent)
    : TfrmCardFormat(app, std::make_shared<PcscLiteBackend>(), parent)
{
}

TfrmCardFormat::TfrmCardFormat(AppContext &app, std::shared_ptr<PcscBackend> backend, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
    , m_pcsc(new TPCSC(std::move(backend), this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("TfrmCardFormat"));
    setWindowTitle(Caption);
    buildControls();

    m_pcsc->setObjectName(QStringLiteral("PCSC"));
    connect(m_pcsc, &TPCSC::OnCardInserted, this, &TfrmCardFormat::PCSCCardInserted);
    connect(m_pcsc, &TPCSC::OnCardActive, this, &TfrmCardFormat::PCSCCardActive);
    connect(m_pcsc, &TPCSC::OnCardRemoved, this, &TfrmCardFormat::PCSCCardRemoved);
    connect(m_pcsc, &TPCSC::OnCardReset, this, &TfrmCardFormat::PCSCCardReset);
    connect(m_pcsc, &TPCSC::OnReaderListChange, this, &TfrmCardFormat::PCSCReaderListChange);
    m_pcsc->Init();
}

TfrmCardFormat::~TfrmCardFormat()
{
    m_pcsc->Close();
}

void TfrmCardFormat::buildControls()
{
    auto *readerBox = new QGroupBox(QStringLiteral("Leitor"), this);
    m_cbLeitores = new QComboBox(readerBox);
    m_cbLeitores->setObjectName(QStringLiteral("cbLeitores"));
    m_cbLeitores->setMinimumWidth(260);
    m_btOpen = new QPushButton(QStringLiteral("Abrir leitor"), readerBox);
    m_btOpen->setObjectName(QStringLiteral("btOpen"));
    m_btClose = new QPushButton(QStringLiteral("Fechar leitor"), readerBox);
    m_btClose->setObjectName(QStringLiteral("btClose"));
    m_btClose->setEnabled(false);
    auto *readerRow = new QHBoxLayout;
    readerRow->addWidget(m_cbLeitores, 1);
    readerRow->addWidget(m_btOpen);
    readerRow->addWidget(m_btClose);
    m_lbStatusLeitor = new QLabel(readerBox);
    m_lbStatusLeitor->setObjectName(QStringLiteral("lbStatusLeitor"));
    m_lbStatusLeitor->setWordWrap(true);
    m_lbStatusLeitor->setFrameShape(QFrame::StyledPanel);
    m_lbStatusLeitor->setMinimumHeight(48);
    m_lbStatusLeitor->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto *readerLayout = new QVBoxLayout(readerBox);
    readerLayout->addLayout(readerRow);
    readerLayout->addWidget(m_lbStatusLeitor);

    auto *formatBox = new QGroupBox(QStringLiteral("Formatação"), this);
    m_btFormataConfig = new QPushButton(QStringLiteral("Formatar Configuração"), formatBox);
    m_btFormataConfig->setObjectName(QStringLiteral("btFormataConfig"));
    m_btFormataColeta = new QPushButton(QStringLiteral("Formatar Coleta"), formatBox);
    m_btFormataColeta->setObjectName(QStringLiteral("btFormataColeta"));
    m_btTrocaSw = new QPushButton(QStringLiteral("Formatar Troca de SW"), formatBox);
    m_btTrocaSw->setObjectName(QStringLiteral("btTrocaSw"));
    auto *formatLayout = new QHBoxLayout(formatBox);
    formatLayout->addWidget(m_btFormataConfig);
    formatLayout->addWidget(m_btFormataColeta);
    formatLayout->addWidget(m_btTrocaSw);
    setFormatButtons(false);

    m_btFechar = new QPushButton(QStringLiteral("Fechar"), this);
    m_btFechar->setObjectName(QStringLiteral("btFechar"));
    m_btFechar->setToolTip(QStringLiteral("Fechar - Ctrl+F"));
    m_btFechar->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_btFechar);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(readerBox);
    layout->addWidget(formatBox);
    layout->addStretch(1);
    layout->addLayout(bottom);

    connect(m_btOpen, &QPushButton::clicked, this, &TfrmCardFormat::btOpenClick);
    connect(m_btClose, &QPushButton::clicked, this, &TfrmCardFormat::btCloseClick);
    connect(m_btFormataConfig, &QPushButton::clicked, this, [this] { runFormat(Kind::Configuration); });
    connect(m_btFormataColeta, &QPushButton::clicked, this, [this] { runFormat(Kind::Collection); });
    connect(m_btTrocaSw, &QPushButton::clicked, this, [this] { runFormat(Kind::SoftwareChange); });
    connect(m_btFechar, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmCardFormat::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmCardFormat::closeEvent(QCloseEvent *event)
{
    // A format in progress runs inside this window's handler: it ends first.
    if (m_busy) {
        event->ignore();
        return;
    }
    m_pcsc->Close();
    event->accept();
}

void TfrmCardFormat::setStatus(const QString &text)
{
    m_lbStatusLeitor->setText(text);
}

void TfrmCardFormat::setFormatButtons(bool enabled)
{
    m_btFormataConfig->setEnabled(enabled);
    m_btFormataColeta->setEnabled(enabled);
    m_btTrocaSw->setEnabled(enabled);
}

void TfrmCardFormat::PCSCReaderListChange()
{
    m_cbLeitores->clear();
    m_cbLeitores->addItems(m_pcsc->ReaderList());
    if (m_cbLeitores->count() > 0)
        m_cbLeitores->setCurrentIndex(0);
    if (m_pcsc->NumReaders() == 1)
        btOpenClick();
}

void TfrmCardFormat::btOpenClick()
{
    if (m_busy)
        return;
    if (m_cbLeitores->currentIndex() < 0) {
        setStatus(QStringLiteral("Sem leitor selecionado."));
        return;
    }
    m_pcsc->SetUseReaderNum(m_cbLeitores->currentIndex());
    m_pcsc->Open();
    m_btClose->setEnabled(true);
    m_btOpen->setEnabled(false);
    setStatus(QStringLiteral("Insira o cartão."));
}

void TfrmCardFormat::btCloseClick()
{
    if (m_busy)
        return;
    m_pcsc->Disconnect();
    m_pcsc->Close();
    setStatus(QStringLiteral("Leitor fechado."));
    setFormatButtons(false);
    m_btClose->setEnabled(false);
    m_btOpen->setEnabled(true);
}

void TfrmCardFormat::PCSCCardInserted()
{
    setStatus(QStringLiteral("Cartão inserido"));
    m_pcsc->Connect();
}

void TfrmCardFormat::PCSCCardActive()
{
    // A card put in while a format runs waits for the format to end.
    if (!m_busy)
        setFormatButtons(true);
}

void TfrmCardFormat::PCSCCardRemoved()
{
    m_pcsc->Disconnect();
    setStatus(QStringLiteral("Insira o cartão"));
    setFormatButtons(false);
}

void TfrmCardFormat::PCSCCardReset()
{
    setStatus(QStringLiteral("Cartão resetado - ATR: ") + m_pcsc->AttrCardATR());
}

void TfrmCardFormat::runFormat(Kind kind)
{
    if (m_busy)
        return;
    const QList<QByteArray> &keys = m_app.installation.fileKeys;
    if (kind != Kind::SoftwareChange && !CardTemplates::validKeys(keys)) {
        m_app.showMessageBox(QStringLiteral("As chaves do arquivo 3F02h não estão definidas "
                                            "(instalacao.ini, [SEGURANCA] CHAVE_ARQUIVO_1 a "
                                            "CHAVE_ARQUIVO_3). Formatação cancelada."),
                             Caption, mb::IconError);
        return;
    }
    if (m_app.showMessageBox(QStringLiteral("Essa operação apaga o cartão!\r\nDeseja continuar?"),
                             QStringLiteral("Confirmação"),
                             mb::YesNo | mb::IconWarning | mb::DefaultButton2) != mb::IdYes)
        return;

    m_busy = true;
    setFormatButtons(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CardFormatter::Hooks hooks;
    hooks.status = [this](const QString &text) { setStatus(text); };
    hooks.progress = [this](const QString &text, int position, int maximum) {
        m_app.showProgress(text, position, maximum, true);
    };
    hooks.message = [this](const QString &text) {
        QApplication::restoreOverrideCursor();
        m_app.showMessage(text);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    };
    CardFormatter formatter(*m_pcsc, hooks);
    switch (kind) {
    case Kind::Configuration:
        formatter.formatConfiguration(keys);
        break;
    case Kind::Collection:
        formatter.formatCollection(keys);
        break;
    case Kind::SoftwareChange:
        formatter.formatSoftwareChange();
        break;
    }
    QApplication::restoreOverrideCursor();
    m_app.showProgress(QString(), 0, 0, false);
    m_busy = false;
    // Only a card still in the reader can be formatted again; one taken out
    // during the format leaves the window waiting for the next.
    setFormatButtons(m_pcsc->Active());
    if (!m_pcsc->Active())
        setStatus(QStringLiteral("Insira o cartão"));
}

} // namespace zentro
