#pragma once

#include <QString>

namespace zentro {

// What every entry of the item tree carries besides its text and icon.
struct ItemNodeData
{
    // ITENS.ID of a client, sub-division or reader; the folder identifier
    // (-1 ... -5) for a fixed folder; 0 for the entries under a reader or a
    // client. A search key with -99 matches any identifier.
    qint32 id = 0;
    // The ID of the entry it hangs under (-1 top-level client, -3 stock, -2/-4
    // mirrors); for an entry under a reader or client, that reader or client;
    // 0 for a fixed folder.
    qint32 ownerId = 0;
    // For readers: the top-level client's text (their own text in "Estoque"
    // and "Não Cadastrados"), at most 25 characters; empty otherwise.
    QString clientName;
    QString name;   // NOME_LOCAL of a reader
    QString serial; // HW_SERIE of a reader
};

// Identifiers of the fixed folders, never stored as ITENS rows.
namespace folder {
constexpr int Clientes = -1;
constexpr int Instalados = -2;
constexpr int Estoque = -3;
constexpr int Manutencao = -4;
constexpr int NaoCadastrados = -5;
constexpr int AnyId = -99; // search keys: matches every identifier
} // namespace folder

// Positions in the program's icon list; readers must stay at 18 and 19,
// other windows and older screenshots rely on these numbers.
namespace icon {
constexpr int Tabelas = 0;
constexpr int FolderOpen = 10;
constexpr int FolderClosed = 11;
constexpr int ReaderLogs = 16;
constexpr int Reader = 18;
constexpr int ReaderMaintenance = 19;
constexpr int MasterData = 27;
constexpr int MasterConfClosed = 28;
constexpr int MasterConfOpen = 29;
constexpr int MasterEntry = 30;
constexpr int Properties = 32;
constexpr int OwnData = 33;
constexpr int MasterLogs = 34;
} // namespace icon

} // namespace zentro
