#pragma once

#include "app/ProgressSink.h"
#include "users/Login.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QSplitter;
class QTimer;

namespace zentro {

class AppContext;
class TvConfigura;

// The main window: the tree on the left, the child windows in the work area,
// the menus and toolbar with every command, and the status bar with the
// user, the hint, the counters, the version, the clock and the progress of
// long work. A one-second tick keeps the database connection alive.
class TfrmPrincipal : public QMainWindow, public ProgressSink
{
    Q_OBJECT
public:
    explicit TfrmPrincipal(AppContext &app, QWidget *parent = nullptr);
    ~TfrmPrincipal() override;

    // Title, status bar, tree and login; run at the first show and after
    // every data-source switch. False when it failed.
    bool runShowSequence();

    void showProgress(const QString &text, int position, int maximum, bool showPercent) override;
    void setUserPanel(const QString &text);
    void setCounters(const QString &installed, const QString &stock);
    void setHintPanel(const QString &text);

    // Commands by name ("acLogin", "acUsuarios", ...).
    QAction *command(const QString &name) const { return m_commands.value(name); }
    QMdiArea *workArea() const { return m_workArea; }
    TvConfigura *tvConfigura() const { return m_tvConfigura; }
    QComboBox *dataSourceList() const { return m_cbDataSource; }
    const QImage &logo() const { return m_logo; }
    // The open child window of a kind, if any.
    QWidget *childWindow(const QString &kind) const;

    void enableAll();
    void disableAll();

    // Login command; fromUserWindow skips the "close every window" check.
    void acLoginExecute(bool fromUserWindow = false);
    void acLogoffExecute(bool byCommand = true);
    // The data source chosen in the client list.
    void switchDataSource(int index);

    // Places a child window right of the tree, near the top.
    void PositionChildWindow(QWidget *window);
    // Opens a child window once: a second request brings it forward (or does
    // nothing, for the windows that say so).
    QWidget *openChild(const QString &kind, const std::function<QWidget *()> &create, bool bringForward = true);

signals:
    void loggedOn();
    void loggedOff();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QAction *addCommand(const QString &name, const QString &caption, const QString &hint,
                        const QKeySequence &shortcut = {});
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void tick();
    void updateClock();
    void applyPanelWidths();
    void finishLogin(const LoginOutcome &outcome);
    void closeAllChildren();
    void showAbout();
    void showOwnerSettings();
    void showUsers();
    void showActivityLog();
    void showFormatCard();
    void showProgramCard();
    void novoLeitorToolbar();
    void setLogo(const QByteArray &jpeg);

    AppContext &m_app;
    QSplitter *m_splitter;
    QWidget *m_treeHost;
    TvConfigura *m_tvConfigura;
    QMdiArea *m_workArea;
    QMap<QString, QAction *> m_commands;
    QMap<QString, QPointer<QMdiSubWindow>> m_children;
    QComboBox *m_cbDataSource = nullptr;
    QLabel *m_userPanel;
    QLabel *m_hintPanel;
    QLabel *m_counter1;
    QLabel *m_counter2;
    QLabel *m_versionPanel;
    QLabel *m_clockPanel;
    QProgressBar *m_progress;
    QTimer *m_tick;
    QImage m_logo;
    bool m_switching = false;
    bool m_closing = false;
};

} // namespace zentro
