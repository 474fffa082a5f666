#pragma once

#include "audit/ActivityQuery.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QStackedWidget;
class QTableView;

namespace zentro {

class AppContext;
class ResultSetModel;

// The users' activity: who logged on when, and what each of them did.
class TfrmConsultaLOG : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmConsultaLOG(AppContext &app, QWidget *parent = nullptr);

    bool btPesquisarClick();
    // Writes the workbook of the shown result; the save dialog passes its path here.
    bool writeWorkbook(const QString &path);
    void setComplete(bool complete);

    QDateEdit *initialDate() const { return m_edInicial; }
    QDateEdit *finalDate() const { return m_edFinal; }
    QComboBox *users() const { return m_cbUsuario; }
    QComboBox *groups() const { return m_cbGrupo; }
    QComboBox *routines() const { return m_cbRotina; }
    QComboBox *clients() const { return m_cbCliente; }
    QComboBox *readers() const { return m_cbLeitor; }
    QComboBox *consumers() const { return m_cbConsumidor; }
    ResultSetModel *completeModel() const { return m_completeModel; }
    ResultSetModel *loginModel() const { return m_loginModel; }
    QStackedWidget *pages() const { return m_pages; }
    QPlainTextEdit *activityText() const { return m_memo; }
    QTableView *completeGrid() const { return m_gridComplete; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void loadLists();
    void loadRoutines();
    ActivityFilter currentFilter() const;
    void showActivity(const QModelIndex &index);
    bool checkDates();

    AppContext &m_app;
    QDateEdit *m_edInicial;
    QDateEdit *m_edFinal;
    QComboBox *m_cbUsuario;
    QComboBox *m_cbGrupo;
    QComboBox *m_cbRotina;
    QComboBox *m_cbCliente;
    QComboBox *m_cbLeitor;
    QComboBox *m_cbConsumidor;
    QRadioButton *m_rbCompleto;
    QRadioButton *m_rbSemAtividade;
    QStackedWidget *m_pages;
    QTableView *m_gridComplete;
    QTableView *m_gridLogin;
    ResultSetModel *m_completeModel;
    ResultSetModel *m_loginModel;
    QPlainTextEdit *m_memo;
    bool m_hideServiceUser = true;
    bool m_shownComplete = false;
    ActivityFilter m_shownFilter;
};

} // namespace zentro
