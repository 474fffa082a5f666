#pragma once

#include <QString>

namespace zentro {

class AppContext;

// What the user window holds while a user is created or edited.
struct UserForm
{
    QString name;
    QString password;  // "*****" while editing means "keep the stored password"
    int profile = -1;  // list position: 0 Administrador, 1 Gerencial, 2 Operador; -1 none
    int clientId = -1; // top-level client the user belongs to; -1 none
    bool deactivated = false;
    int editTarget = -1; // USUARIOS.ID being edited; -1 for a new user
};

enum class UserField { None, Name, Password, Profile, Client };

struct UserSaveResult
{
    bool saved = false;
    UserField focus = UserField::None; // the field to put the cursor in after a refusal
};

inline constexpr const char *UnchangedPassword = "*****";
inline constexpr int MaxUserTextLength = 10;

QString ProfileText(int profile);

// Checks and stores a user (new or edited); every refusal shows its message.
UserSaveResult SaveUser(AppContext &app, UserForm form);

// Whether a character may be typed into the name field.
bool IsNameCharAllowed(QChar c);
// Whether a character may be typed into the password field.
bool IsPasswordCharAllowed(QChar c);

} // namespace zentro
