#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace pl {

// Read-only view of a hierarchical key/value store with string values. Linux has no
// registry: the production backend answers every open and query with "not found".
class Registry {
public:
    enum Root { ClassesRoot, LocalMachine, CurrentUser, Users };
    virtual ~Registry() = default;
    // Whether the key path (components separated by "\") exists below the root.
    virtual bool keyExists(Root root, const QString &keyPath) = 0;
    // The string value `name` of the key (empty name = the key's default value);
    // nothing when the key or value is missing or the value is not a string.
    virtual std::optional<QString> stringValue(Root root, const QString &keyPath, const QString &name) = 0;
};

Registry &registry();
void setRegistry(Registry *r); // nullptr restores the production backend

} // namespace pl
