// Objects, counted references, class registration and the nil check.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <typeindex>
#include <typeinfo>

namespace fw {

// Every object of the framework and of the program is reference-counted.
template <class T>
using Ref = std::shared_ptr<T>;

// Raised wherever a nil object is used.
class NilObjectException : public std::runtime_error {
public:
    NilObjectException() : std::runtime_error("NilObjectException") {}
};

// The one checked access: a nil reference raises NilObjectException.
template <class T>
T& NonNil(const Ref<T>& p) {
    if (!p) throw NilObjectException();
    return *p;
}

class Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object() = default;
    // Full class name as registered, e.g. "Window1.Window1".
    std::string FullClassName() const;
};

// Class registration: each class's full name and base class, before any object exists.
// Only the full name is kept: the class tree that Cast walks is C++'s own, and nothing
// asks for a base by name, so a second copy of the tree could only drift from it.
void RegisterClass(const std::type_info& type, const std::string& fullName, const std::string& baseName);
bool IsRegistered(const std::type_info& type);
// The registered full name of a class, or "" when it is not registered.
std::string RegisteredName(const std::type_info& type);

template <class T>
void RegisterClass(const std::string& fullName, const std::string& baseName) {
    RegisterClass(typeid(T), fullName, baseName);
}

// A new object of a registered class; an unregistered class is a programming error.
template <class T, class... Args>
Ref<T> New(Args&&... args) {
    if (!IsRegistered(typeid(T)))
        throw std::logic_error(std::string("class not registered: ") + typeid(T).name());
    return std::make_shared<T>(std::forward<Args>(args)...);
}

// The class-verifying cast: nil when the object is nil or of another class.
template <class T, class U>
Ref<T> Cast(const Ref<U>& p) {
    // An object of exactly the class asked for needs no walk of the class tree.
    if (p && typeid(*p) == typeid(T)) return std::static_pointer_cast<T>(p);
    return std::dynamic_pointer_cast<T>(p);
}
// The same for a reference that is handed over: no count to raise and lower again.
template <class T, class U>
Ref<T> Cast(Ref<U>&& p) {
    if (p && typeid(*p) == typeid(T)) return std::static_pointer_cast<T>(std::move(p));
    return std::dynamic_pointer_cast<T>(std::move(p));
}

// The name of an exception's class, for the unhandled-exception report.
std::string ExceptionClassName(std::exception_ptr e);

}  // namespace fw
