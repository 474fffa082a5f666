#pragma once

#include <QString>

namespace zentro {

// Message box flags and answers, as the operators' messages have always been
// worded: an icon, a button set and the default button, added together.
namespace mb {
constexpr int Ok = 0;
constexpr int OkCancel = 1;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int IconError = 16;
constexpr int IconQuestion = 32;
constexpr int IconWarning = 48;
constexpr int IconInformation = 64;
constexpr int DefaultButton2 = 256;

constexpr int IdOk = 1;
constexpr int IdCancel = 2;
constexpr int IdYes = 6;
constexpr int IdNo = 7;
} // namespace mb

// Every message the program shows to the operator goes through one presenter.
// The windows install one that opens a modal box; tests install a script that
// records what was shown and answers as the test queued.
class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    virtual int show(const QString &text, const QString &caption, int flags) = 0;
};

} // namespace zentro
