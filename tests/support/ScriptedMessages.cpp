#include "ScriptedMessages.h"

#include <QTest>

ScriptedMessages &ScriptedMessages::expect(const QString &text, int answer)
{
    m_expected.append({text, {}, -1, false, false, answer});
    return *this;
}

ScriptedMessages &ScriptedMessages::expect(const QString &text, const QString &caption, int flags, int answer)
{
    m_expected.append({text, caption, flags, false, true, answer});
    return *this;
}

ScriptedMessages &ScriptedMessages::expectPrefix(const QString &prefix, int answer)
{
    m_expected.append({prefix, {}, -1, true, false, answer});
    return *this;
}

int ScriptedMessages::show(const QString &text, const QString &caption, int flags)
{
    m_shown.append({text, caption, flags});
    if (m_expected.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected message [%1] \"%2\"").arg(caption, text)), __FILE__,
                     __LINE__);
        return zentro::mb::IdCancel;
    }
    const Expected e = m_expected.takeFirst();
    const bool textOk = e.prefix ? text.startsWith(e.text) : text == e.text;
    const bool captionOk = !e.checkCaption || (caption == e.caption && flags == e.flags);
    if (!textOk || !captionOk) {
        QTest::qFail(qPrintable(QStringLiteral("message [%1/%2] \"%3\" shown where \"%4\" [%5/%6] was "
                                               "expected")
                                    .arg(caption)
                                    .arg(flags)
                                    .arg(text, e.text, e.caption)
                                    .arg(e.flags)),
                     __FILE__, __LINE__);
    }
    return e.answer;
}

bool ScriptedMessages::allShown() const
{
    for (const Expected &e : m_expected)
        QTest::qFail(qPrintable(QStringLiteral("expected message never shown: \"%1\"").arg(e.text)), __FILE__,
                     __LINE__);
    return m_expected.isEmpty();
}

void ScriptedMessages::clear()
{
    m_expected.clear();
    m_shown.clear();
}
