// Owner of one COM interface pointer, so every reference taken is released once.
#pragma once
#include <unknwn.h>

template <typename Interface> class ComRef {
  public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For the out-parameter of a call that hands over a new reference.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (pointer_)
            pointer_->Release();
        pointer_ = nullptr;
    }

  private:
    Interface* pointer_ = nullptr;
};
