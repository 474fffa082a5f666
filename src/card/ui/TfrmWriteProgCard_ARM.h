#pragma once

#include "card/PcscBackend.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace zentro {

class AppContext;
class TPCSC;

// "Gravação do Programa no Cartão": writes a reader firmware file over up to
// four software-change cards.
class TfrmWriteProgCard_ARM : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmWriteProgCard_ARM(AppContext &app, QWidget *parent = nullptr);
    // On another PC/SC service than the workstation's (tests).
    TfrmWriteProgCard_ARM(AppContext &app, std::shared_ptr<PcscBackend> backend, QWidget *parent = nullptr);
    ~TfrmWriteProgCard_ARM() override;

    TPCSC *PCSC() const { return m_pcsc; }
    bool isWriting() const { return m_busy; }
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void bt_OpenReaderClick();
    void bt_CloseReaderClick();
    void bt_writecardClick();
    void bt_CloseClick();
    void browseClick();
    void setStatus(const QString &text);

    void PCSCCardInserted();
    void PCSCCardActive();
    void PCSCCardRemoved();
    void PCSCReaderListChange();

    AppContext &m_app;
    TPCSC *m_pcsc;
    bool m_busy = false;

    QComboBox *m_cb_AvalReaders = nullptr;
    QLineEdit *m_ed_ActiveReader = nullptr;
    QLineEdit *m_edARQUIVO = nullptr;
    QPushButton *m_btArquivo = nullptr;
    QProgressBar *m_pbGravacao = nullptr;
    QPushButton *m_bt_OpenReader = nullptr;
    QPushButton *m_bt_CloseReader = nullptr;
    QPushButton *m_bt_writecard = nullptr;
    QPushButton *m_bt_Close = nullptr;
    QStatusBar *m_sb_status = nullptr;
    QLabel *m_statusPanel = nullptr;
};

} // namespace zentro
