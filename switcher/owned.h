// Owns one system resource (a kernel handle, a file descriptor, memory the system allocated)
// and gives it back exactly once, when the owner is destroyed. Move-only. `Traits` describes
// the kind:
//   using Type = ...;                 the resource's type
//   static Type none();               the value that owns nothing
//   static bool owns(Type value);     false for every value that needs no release
//   static void release(Type value);  gives the resource back to the system
#pragma once

#include <utility>

namespace swapcfg {

template <typename Traits>
class Owned {
  public:
    using Type = typename Traits::Type;

    Owned() = default;
    explicit Owned(Type value) : value_(value) {}
    Owned(Owned&& other) noexcept : value_(other.disown()) {}
    // The value this one held is released with `other`.
    Owned& operator=(Owned&& other) noexcept {
        std::swap(value_, other.value_);
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() {
        if (Traits::owns(value_)) {
            Traits::release(value_);
        }
    }

    Type get() const { return value_; }
    explicit operator bool() const { return Traits::owns(value_); }

    // Hands the resource on without releasing it, to an owner of another kind.
    Type disown() { return std::exchange(value_, Traits::none()); }

  private:
    Type value_ = Traits::none();
};

}  // namespace swapcfg
