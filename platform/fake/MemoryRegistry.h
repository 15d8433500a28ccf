#pragma once
#include "platform/Registry.h"

#include <QMap>

namespace pl::fake {

// An in-memory registry: keys are "root:path" with "\" separators; values by name
// ("" is the default value).
class MemoryRegistry final : public Registry {
public:
    void addKey(Root root, const QString &keyPath)
    {
        QString path;
        for (const QString &part : keyPath.split('\\')) {
            path = path.isEmpty() ? part : path + '\\' + part;
            keys_[key(root, path)];
        }
    }
    void setValue(Root root, const QString &keyPath, const QString &name, const QString &value)
    {
        addKey(root, keyPath);
        keys_[key(root, keyPath)][name.toLower()] = value;
    }
    bool keyExists(Root root, const QString &keyPath) override { return keys_.contains(key(root, keyPath)); }
    std::optional<QString> stringValue(Root root, const QString &keyPath, const QString &name) override
    {
        auto k = keys_.constFind(key(root, keyPath));
        if (k == keys_.constEnd())
            return std::nullopt;
        auto v = k->constFind(name.toLower());
        if (v == k->constEnd())
            return std::nullopt;
        return *v;
    }

private:
    static QString key(Root root, const QString &path) { return QString::number(root) + ':' + path.toLower(); }
    QMap<QString, QMap<QString, QString>> keys_;
};

struct ScopedRegistry {
    MemoryRegistry reg;
    ScopedRegistry() { setRegistry(&reg); }
    ~ScopedRegistry() { setRegistry(nullptr); }
};

} // namespace pl::fake
