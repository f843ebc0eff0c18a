#include "Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <map>
#include <mutex>

namespace fw {
namespace {

std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}
// Each registered class's full name.
std::map<std::type_index, std::string>& Registry() {
    static std::map<std::type_index, std::string> r;
    return r;
}

std::string Demangle(const char* name) {
    int status = 0;
    char* out = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 && out ? out : name;
    std::free(out);
    return result;
}

}  // namespace

void RegisterClass(const std::type_info& type, const std::string& fullName, const std::string& /*baseName*/) {
    std::lock_guard lock(RegistryMutex());
    Registry()[std::type_index(type)] = fullName;
}

bool IsRegistered(const std::type_info& type) {
    std::lock_guard lock(RegistryMutex());
    return Registry().count(std::type_index(type)) != 0;
}

std::string RegisteredName(const std::type_info& type) {
    std::lock_guard lock(RegistryMutex());
    auto it = Registry().find(std::type_index(type));
    return it == Registry().end() ? std::string() : it->second;
}

std::string Object::FullClassName() const {
    std::string name = RegisteredName(typeid(*this));
    return name.empty() ? Demangle(typeid(*this).name()) : name;
}

std::string ExceptionClassName(std::exception_ptr e) {
    try {
        if (e) std::rethrow_exception(e);
    } catch (const NilObjectException&) {
        return "NilObjectException";
    } catch (const std::exception& ex) {
        return Demangle(typeid(ex).name());
    } catch (...) {
        return "unknown exception";
    }
    return "no exception";
}

}  // namespace fw
