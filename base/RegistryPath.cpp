#include "base/RegistryPath.h"

#include "platform/Registry.h"

#include <optional>

namespace {

std::optional<pl::Registry::Root> rootNamed(const QString &name)
{
    if (name == u"HKEY_CLASSES_ROOT" || name == u"HKCR" || name == u"HKR")
        return pl::Registry::ClassesRoot;
    if (name == u"HKEY_LOCAL_MACHINE" || name == u"HKLM" || name == u"HKM")
        return pl::Registry::LocalMachine;
    if (name == u"HKEY_CURRENT_USER" || name == u"HKCU")
        return pl::Registry::CurrentUser;
    if (name == u"HKEY_USERS" || name == u"HKU")
        return pl::Registry::Users;
    return std::nullopt;
}

} // namespace

QString ReadRegistryPath(const QString &path)
{
    QString text = path;
    if (text.startsWith(QLatin1Char('%')))
        text.remove(0, 1);
    const qsizetype slash = text.indexOf(QLatin1Char('\\'));
    if (slash < 0)
        return QString();
    const std::optional<pl::Registry::Root> root = rootNamed(text.left(slash));
    if (!root)
        return QString();
    pl::Registry &registry = pl::registry();
    QString key; // the key reached so far, "" for the root itself
    const QStringList components = text.mid(slash + 1).split(QLatin1Char('\\'));
    for (const QString &component : components) {
        if (!component.isEmpty()) {
            const QString subkey = key.isEmpty() ? component : key + QLatin1Char('\\') + component;
            if (registry.keyExists(*root, subkey)) {
                key = subkey;
                continue;
            }
        }
        // An empty component reads the default value, any other one names a value.
        return registry.stringValue(*root, key, component).value_or(QString());
    }
    // The text ended right after a subkey was entered.
    return registry.stringValue(*root, key, QString()).value_or(QString());
}
