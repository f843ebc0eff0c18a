#include "Menu.h"

namespace fw {

Ref<MenuItem> MenuItem::Child(const std::string& name) const {
    for (const auto& c : children_)
        if (c->Name() == name) return c;
    return nullptr;
}

Ref<MenuItem> MenuItem::Lookup(const std::string& name) const {
    for (const auto& c : children_) {
        if (c->Name() == name) return c;
        if (auto found = c->Lookup(name)) return found;
    }
    return nullptr;
}

Ref<MenuItem> MenuItem::Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

}  // namespace fw
