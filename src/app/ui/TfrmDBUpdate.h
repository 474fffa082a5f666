#pragma once

#include "app/DbUpdate.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace zentro {

// The window the structure update runs in, on top of everything while the
// scripts execute.
class TfrmDBUpdate : public QWidget, public DbUpdateView
{
    Q_OBJECT
public:
    explicit TfrmDBUpdate(QWidget *parent = nullptr);

    void open() override;
    void setPanelVisible(bool visible) override;
    void setStatus(const QString &text) override;
    void setProgress(int position, int maximum) override;
    void pause() override;
    void close() override;

private:
    QWidget *m_pnDBUpdate;
    QLabel *m_lblDBUpdate;
    QProgressBar *m_pbDBUpdate;
};

} // namespace zentro
