#pragma once

#include <QString>

namespace zentro {

class AppContext;

// Look-ups of items in the database, each answering its "not found" value
// after writing a failure to the system event log; the operator never sees
// their errors.

// The ID of the top-level client above an item (the item itself for a
// client), or -1: a reader in stock or not registered has none.
int getClientIDofItem(AppContext &app, int itemId);

// The ID of the one live ITENS row with this serial, or -1 when there is none
// or more than one.
int getReaderIdBySerial(AppContext &app, const QString &serial);

// Registers a reader that imported logs name but ITENS does not hold, under
// "Não Cadastrados", and answers its new ID. The database part only: the tree
// adds its entry with ItemTree::addUnregisteredReader once the caller's work
// is committed.
bool InserirLeitorNaoCadastrado(AppContext &app, const QString &serial, int &id);

} // namespace zentro
