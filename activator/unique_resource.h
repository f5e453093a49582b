// Owns one system resource (a handle, a file descriptor, a font) and releases it exactly
// once, when the owner is destroyed or given another. Move-only. `Traits` describes the kind:
//   using Type = ...;                    the resource's type
//   static Type none();                  the value that owns nothing
//   static bool owns(Type value);        false for every value that needs no release
//   static void release(Type value);     gives the resource back to the system
#pragma once

#include <utility>

namespace velmora {

template <typename Traits>
class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.disown()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        reset(other.disown());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    Type get() const { return value_; }
    bool valid() const { return Traits::owns(value_); }
    explicit operator bool() const { return valid(); }

    // Gives up ownership without releasing, for a caller that releases it itself.
    Type disown() { return std::exchange(value_, Traits::none()); }

    void reset(Type value = Traits::none()) {
        if (Traits::owns(value_)) {
            Traits::release(value_);
        }
        value_ = value;
    }

  private:
    Type value_ = Traits::none();
};

}  // namespace velmora
