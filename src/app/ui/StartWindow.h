#pragma once

#include <QWidget>

namespace zentro {

// The window shown while the program starts (and by "Sobre"): the program's
// picture with its version and the database version it requires. Started
// with autoClose it closes itself after three seconds.
class StartWindow : public QWidget
{
    Q_OBJECT
public:
    StartWindow(const QString &buildInfo, bool autoClose, QWidget *parent = nullptr);

    bool isUp() const { return m_up; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_buildInfo;
    bool m_autoClose;
    bool m_up = false;
};

} // namespace zentro
