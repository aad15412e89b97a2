#pragma once

#include <cstddef>
#include <utility>

namespace Morvek {

// Holds one reference on a RefCountObject (or anything with addRef()/subRef()) for its lifetime.
template <class T> class RefPtr {
public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) {}
    RefPtr(T* object) : _object(object)
    {
        if (_object)
            _object->addRef();
    }
    RefPtr(const RefPtr& other) : RefPtr(other._object) {}
    RefPtr(RefPtr&& other) noexcept : _object(std::exchange(other._object, nullptr)) {}
    template <class U> RefPtr(const RefPtr<U>& other) : RefPtr(other.get()) {}
    ~RefPtr()
    {
        if (_object)
            _object->subRef();
    }

    RefPtr& operator=(RefPtr other) noexcept
    {
        std::swap(_object, other._object);
        return *this;
    }

    void reset(T* object = nullptr) { RefPtr(object).swap(*this); }
    void swap(RefPtr& other) noexcept { std::swap(_object, other._object); }

    T* get() const { return _object; }
    T* operator->() const { return _object; }
    T& operator*() const { return *_object; }
    explicit operator bool() const { return _object != nullptr; }

private:
    T* _object = nullptr;
};

template <class T, class U> bool operator==(const RefPtr<T>& a, const RefPtr<U>& b)
{
    return a.get() == b.get();
}
template <class T, class U> bool operator!=(const RefPtr<T>& a, const RefPtr<U>& b)
{
    return a.get() != b.get();
}

} // namespace Morvek
