// Values by name: the record of open windows, and the controls of each window.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "Dispatch.h"

namespace fw {

namespace detail {
// Changes of every NameMap so far. Only code that holds the gate changes a map, and
// the counter with it, so a holder of the gate that reads the same count twice knows
// that no map changed in between.
inline std::atomic<std::uint64_t> nameMapChanges{0};
}  // namespace detail

// Moves on whenever a look-up of a window or of a control by name may give another
// answer than before; read it on the gate.
inline std::uint64_t LookUpGeneration() { return detail::nameMapChanges.load(std::memory_order_relaxed); }

namespace detail {

// A name may hold several values (windows of one class); a look-up gives the one added
// last. Every change requires the gate (checked), which keeps LookUpGeneration() true.
template <class V>
class NameMap {
    using Map = std::multimap<std::string, V, std::less<>>;

public:
    // The value added last under the name, or nil.
    const V* Find(std::string_view name) const {
        auto it = map_.upper_bound(name);
        return it == map_.begin() || (--it)->first != name ? nullptr : &it->second;
    }
    // Every entry under the name, as a range of (name, value) pairs.
    auto All(std::string_view name) const { return map_.equal_range(name); }
    // `value` in place of what the name held.
    void Set(const std::string& name, V value) {
        RequireGate("NameMap::Set");
        map_.erase(name);
        map_.emplace(name, std::move(value));
        Changed();
    }
    // `value` beside what the name holds.
    void Add(const std::string& name, V value) {
        RequireGate("NameMap::Add");
        map_.emplace(name, std::move(value));
        Changed();
    }
    // Removes `value` from the name, where it is there.
    void EraseIf(std::string_view name, const V& value) {
        RequireGate("NameMap::EraseIf");
        auto [first, last] = map_.equal_range(name);
        auto it = std::find_if(first, last, [&](const auto& entry) { return entry.second == value; });
        if (it == last) return;
        map_.erase(it);
        Changed();
    }
    void Clear() {
        RequireGate("NameMap::Clear");
        map_.clear();
        Changed();
    }
    typename Map::const_iterator begin() const { return map_.begin(); }
    typename Map::const_iterator end() const { return map_.end(); }

private:
    static void Changed() { nameMapChanges.fetch_add(1, std::memory_order_relaxed); }

    Map map_;
};

}  // namespace detail
}  // namespace fw
