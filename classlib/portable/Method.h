// Method pointers: an object plus one of its member functions, the type of
// every event and of a control's swappable window procedure. Two method
// pointers compare equal when they name the same member of the same object, so
// a window wrapper can check that it puts back exactly what it replaced.
// Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <typeinfo>

template <class Sig>
class Method;

template <class R, class... A>
class Method<R(A...)> {
public:
    using Thunk = R (*)(void*, A...);

    constexpr Method() = default;
    constexpr Method(std::nullptr_t) {}

    // Method<void(TObject*)>::Of<&TForm2::FormShow>(form)
    template <auto Member, class C>
    static Method Of(C* self) {
        Method m;
        m.self_ = self;
        m.thunk_ = &Call<C, Member>;
        return m;
    }

    // A plain function taking a context pointer first (tests, free helpers).
    static Method Fn(void* context, Thunk fn) {
        Method m;
        m.self_ = context;
        m.thunk_ = fn;
        return m;
    }

    explicit operator bool() const { return thunk_ != nullptr; }
    R operator()(A... args) const { return thunk_(self_, static_cast<A>(args)...); }

    void* Self() const { return self_; }
    friend bool operator==(const Method& a, const Method& b) {
        return a.self_ == b.self_ && a.thunk_ == b.thunk_;
    }
    friend bool operator==(const Method& a, std::nullptr_t) { return a.thunk_ == nullptr; }

private:
    template <class C, auto Member>
    static R Call(void* self, A... args) {
        return (static_cast<C*>(self)->*Member)(static_cast<A>(args)...);
    }

    void* self_ = nullptr;
    Thunk thunk_ = nullptr;
};
