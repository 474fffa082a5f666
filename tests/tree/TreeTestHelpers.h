#pragma once

// Small helpers the tree tests share: a demo database to work on, and
// reading the tree by texts.

#include "TestDatabase.h"
#include "app/AppContext.h"
#include "app/DbUpdate.h"
#include "app/Startup.h"
#include "audit/AuditTrail.h"
#include "tree/ItemTree.h"

#include <QStringList>

namespace treetest {

// A fresh demo database of its own, and ADMIN logged on to it with a login
// record open, as every tree test starts.
inline bool openDemoAsAdmin(TestDatabase &db, const QString &name, zentro::AppContext &app, const QString &eventLog)
{
    TestDatabase::Options demo;
    demo.demo = true;
    if (!db.create(name, demo))
        return false;
    app.events().setPath(eventLog);
    app.user = {0, QStringLiteral("ADMIN"), 1};
    zentro::SilentDbUpdateView view;
    return zentro::BD_Connect(app, db.connectionString(), view) && zentro::inicialog(app);
}

inline QStringList childTexts(const zentro::TreeNode *node)
{
    QStringList texts;
    for (int i = 0; node && i < node->childCount(); ++i)
        texts << node->child(i)->text();
    return texts;
}

inline QStringList topTexts(const zentro::ItemTree &tree)
{
    QStringList texts;
    for (int i = 0; i < tree.topLevelCount(); ++i)
        texts << tree.topLevel(i)->text();
    return texts;
}

// The entry reached from the top by these texts, or null.
inline zentro::TreeNode *at(const zentro::ItemTree &tree, const QStringList &path)
{
    zentro::TreeNode *node = nullptr;
    for (int depth = 0; depth < path.size(); ++depth) {
        zentro::TreeNode *next = nullptr;
        const int count = depth == 0 ? tree.topLevelCount() : node->childCount();
        for (int i = 0; i < count && !next; ++i) {
            zentro::TreeNode *c = depth == 0 ? tree.topLevel(i) : node->child(i);
            if (c->text() == path.at(depth))
                next = c;
        }
        if (!next)
            return nullptr;
        node = next;
    }
    return node;
}

// Every entry with this ITENS ID, in tree order.
inline QList<zentro::TreeNode *> entriesWithId(const zentro::ItemTree &tree, int id)
{
    QList<zentro::TreeNode *> found;
    std::function<void(zentro::TreeNode *)> walk = [&](zentro::TreeNode *n) {
        if (n->nodeData().id == id)
            found << n;
        for (int i = 0; i < n->childCount(); ++i)
            walk(n->child(i));
    };
    for (int i = 0; i < tree.topLevelCount(); ++i)
        walk(tree.topLevel(i));
    return found;
}

inline QString scalar(zentro::AppContext &app, const QString &sql)
{
    const zentro::db::ResultSet rs = app.cnt().query(sql);
    return rs.isEmpty() ? QString() : rs.value(0, 0).toString();
}

} // namespace treetest
