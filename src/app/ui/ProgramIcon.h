#pragma once

#include <QIcon>

namespace zentro {

// The program's icon, drawn: a card going into a reader.
QIcon ProgramIcon();

} // namespace zentro
