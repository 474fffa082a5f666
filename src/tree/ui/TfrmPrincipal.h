#pragma once

#include "app/ProgressSink.h"

#include <QMainWindow>

class QLabel;
class QMdiArea;
class QProgressBar;
class QTimer;

namespace zentro {

class AppContext;

// The main window: child windows open in its work area, the status bar shows
// who is logged on, the counters, the version, the clock and the progress of
// long work; a one-second tick keeps the database connection alive.
class TfrmPrincipal : public QMainWindow, public ProgressSink
{
    Q_OBJECT
public:
    explicit TfrmPrincipal(AppContext &app, QWidget *parent = nullptr);
    ~TfrmPrincipal() override;

    // Title, status bar and the rest of the show sequence; run at the first
    // show and after every data-source switch. False when it failed.
    bool runShowSequence();

    void showProgress(const QString &text, int position, int maximum, bool showPercent) override;
    void setUserPanel(const QString &text);
    void setMessagePanel(const QString &text);
    void setCounters(const QString &first, const QString &second);

    QMdiArea *workArea() const { return m_workArea; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void tick();
    void updateClock();

    AppContext &m_app;
    QMdiArea *m_workArea;
    QLabel *m_userPanel;
    QLabel *m_messagePanel;
    QLabel *m_counter1;
    QLabel *m_counter2;
    QLabel *m_versionPanel;
    QLabel *m_clockPanel;
    QProgressBar *m_progress;
    QTimer *m_tick;
};

} // namespace zentro
