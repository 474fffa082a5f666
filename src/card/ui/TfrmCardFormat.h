#pragma once

#include "card/PcscBackend.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace zentro {

class AppContext;
class TPCSC;

// "Formatação de Cartões": turns the card in a reader into a configuration,
// collection or software-change card.
class TfrmCardFormat : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmCardFormat(AppContext &app, QWidget *parent = nullptr);
    // On another PC/SC service than the workstation's (tests).
    TfrmCardFormat(AppContext &app, std::shared_ptr<PcscBackend> backend, QWidget *parent = nullptr);
    ~TfrmCardFormat() override;

    TPCSC *PCSC() const { return m_pcsc; }
    bool isFormatting() const { return m_busy; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Kind { Configuration, Collection, SoftwareChange };

    void buildControls();
    void btOpenClick();
    void btCloseClick();
    void runFormat(Kind kind);
    void setFormatButtons(bool enabled);
    void setStatus(const QString &text);

    void PCSCCardInserted();
    void PCSCCardActive();
    void PCSCCardRemoved();
    void PCSCCardReset();
    void PCSCReaderListChange();

    AppContext &m_app;
    TPCSC *m_pcsc;
    bool m_busy = false;

    QComboBox *m_cbLeitores = nullptr;
    QPushButton *m_btOpen = nullptr;
    QPushButton *m_btClose = nullptr;
    QLabel *m_lbStatusLeitor = nullptr;
    QPushButton *m_btFormataConfig = nullptr;
    QPushButton *m_btFormataColeta = nullptr;
    QPushButton *m_btTrocaSw = nullptr;
    QPushButton *m_btFechar = nullptr;
};

} // namespace zentro
