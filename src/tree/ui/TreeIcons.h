#pragma once

#include <QHash>
#include <QIcon>

namespace zentro {

// The pictures of the tree's icon list, drawn once per tree: folders in
// yellow, a client's master group in violet, readers as a terminal (a red
// light and an orange spanner badge while in maintenance), the reader's
// entries as sheets with a badge telling master data (blue arrow up) from the
// reader's own (green tick). Positions without a picture give a null icon.
class TreeIcons
{
public:
    QIcon icon(int index);
    // The positions that have a picture.
    static QList<int> positions();

private:
    QHash<int, QIcon> m_cache;
};

} // namespace zentro
