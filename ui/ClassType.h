// A control's class as a value that can be asked at run time. The Windows programs are built
// without the compiler's type information (it costs kilobytes in every program), so each control
// class names its own class and the one it derives from, and As<T> follows that chain.
#pragma once

#include <type_traits>

struct TClass {
    const TClass* Parent;  // nullptr for the root
    // This class or one derived from it.
    constexpr bool InheritsFrom(const TClass& other) const {
        for (const TClass* c = this; c; c = c->Parent)
            if (c == &other) return true;
        return false;
    }
};

// Declares the class's place in the chain; the first line of every control class's body. A
// class without it would answer as its base, so As<T> refuses to compile for it.
#define TSD_CLASS(Self, Base)                                    \
public:                                                          \
    using ClassSelf = Self;                                      \
    static constexpr TClass Class{&Base::Class};                 \
    const TClass& ClassType() const override { return Class; }

// The object as a T when its class is T or derives from T; nullptr otherwise and for nullptr.
// A const object gives a const T.
template <class T, class U>
std::conditional_t<std::is_const_v<U>, const T, T>* As(U* object) {
    static_assert(std::is_same_v<typename T::ClassSelf, T>, "the class lacks TSD_CLASS");
    using Result = std::conditional_t<std::is_const_v<U>, const T, T>;
    if (object && object->ClassType().InheritsFrom(T::Class)) return static_cast<Result*>(object);
    return nullptr;
}
