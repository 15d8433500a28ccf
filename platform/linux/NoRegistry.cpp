#include "platform/Registry.h"

namespace pl {
namespace {

// Linux keeps no registry: every key is missing, so every registry path reads as empty.
class NoRegistry final : public Registry {
public:
    bool keyExists(Root, const QString &) override { return false; }
    std::optional<QString> stringValue(Root, const QString &, const QString &) override { return std::nullopt; }
};

NoRegistry noRegistry;
Registry *currentRegistry = &noRegistry;

} // namespace

Registry &registry() { return *currentRegistry; }
void setRegistry(Registry *r) { currentRegistry = r ? r : &noRegistry; }

} // namespace pl
