#pragma once

#include "users/OwnerRecord.h"

#include <QWidget>

class QLabel;
class QLineEdit;

namespace zentro {

class AppContext;

// The installation owner's settings: address, contacts and the logo the
// reports print.
class TfconfigCLIKV : public QWidget
{
    Q_OBJECT
public:
    explicit TfconfigCLIKV(AppContext &app, QWidget *parent = nullptr);

    bool isValid() const { return m_valid; }
    QLineEdit *field(const QString &name) const;
    bool btSalvarClick();
    // Stores the JPEG file as the logo; the picture dialog passes its choice here.
    bool storeLogoFile(const QString &path);

signals:
    void saved(const QString &tradeName);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showLogo(const QByteArray &jpeg);

    AppContext &m_app;
    bool m_valid = false;
    OwnerRecord m_stored;
    QMap<QString, QLineEdit *> m_fields;
    QLabel *m_logo;
};

} // namespace zentro
