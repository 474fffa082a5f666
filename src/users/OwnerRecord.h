#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zentro {

class AppContext;

// The installation owner's record (CLIENTESKV) as the settings window edits it.
struct OwnerRecord
{
    int id = 0;
    QString tradeName;
    QString razao;
    QString endereco;
    QString bairro;
    QString cep;
    QString ddd;
    QString fone;
    QString responsavel;
    QString site;
    QByteArray logo;
};

// Reads the owner's record; nothing when it does not exist or cannot be read.
std::optional<OwnerRecord> LoadOwnerRecord(AppContext &app);

// The audit text of a save: the trade name line, then one line per changed field.
QString OwnerChangeText(const OwnerRecord &stored, const OwnerRecord &edited);

// Writes the record (the trade name always the installation's) and records the
// change under routine 72. False when the database refused it.
bool SaveOwnerRecord(AppContext &app, const OwnerRecord &stored, OwnerRecord edited);

// Stores a JPEG file's bytes as the owner's logo.
bool SaveOwnerLogo(AppContext &app, const QByteArray &jpeg);

} // namespace zentro
