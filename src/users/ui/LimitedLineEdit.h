#pragma once

#include <QLineEdit>

#include <functional>

namespace zentro {

class AppContext;

// A field that refuses characters as they are typed: those its filter
// rejects, and any beyond its length (with the operator told why).
// Backspace always passes.
class LimitedLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    LimitedLineEdit(AppContext &app, int maxLength, std::function<bool(QChar)> allowed, bool upperCase,
                    QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    AppContext &m_app;
    int m_maxLength;
    std::function<bool(QChar)> m_allowed;
    bool m_upperCase;
};

} // namespace zentro
