#pragma once

#include <QByteArray>
#include <QString>

namespace zentro {

class AppContext;

// Profile levels of USUARIOS.NIVEL.
enum ProfileLevel { NobodyLoggedOn = 0, Administrador = 1, Gerencial = 2, Operador = 3 };

struct LoginOutcome
{
    enum Status {
        Refused,  // the login window stays open for another attempt
        LoggedOn, // the user is current; commands depend on the level
        Fatal,    // the owner record could not be created: the program ends
    };
    Status status = Refused;
    QString ownerTradeName;
    QByteArray logo; // JPEG, empty when the owner has none
};

// Checks the typed name and password and, when they hold, makes the user
// current, opens the login record and makes sure the installation's owner
// record exists. Every attempt lands in the audit trail.
LoginOutcome Login(AppContext &app, const QString &typedName, const QString &password);

// Closes the login record and forgets the current user's name and level.
// byCommand: the operator asked for it (it is then written to the event log).
void Logoff(AppContext &app, bool byCommand);

// The owner record's logo, "" when none.
QByteArray LoadOwnerLogo(AppContext &app);

} // namespace zentro
