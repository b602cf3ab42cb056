#pragma once

// A list of the runner's own records on the process heap, growing as they
// are added: what std::vector would be, had the runner a C++ runtime. Its
// elements are moved, never copied.

#include <cstddef>
#include <new>
#include <utility>

#include "basics/HeapApi.h"

namespace kit {

template <typename T>
class List {
public:
    List() = default;
    ~List() {
        for (std::size_t i = 0; i < size_; ++i) {
            items_[i].~T();
        }
        basics::api::HeapFree(items_);
    }
    List(const List&) = delete;
    List& operator=(const List&) = delete;

    // The new last element, made empty; nullptr where memory is short.
    T* Add() {
        if (size_ == capacity_ && !Grow()) {
            return nullptr;
        }
        return new (&items_[size_++]) T();
    }

    void Swap(List& other) {
        std::swap(items_, other.items_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    T& operator[](std::size_t i) { return items_[i]; }
    const T& operator[](std::size_t i) const { return items_[i]; }
    std::size_t Size() const { return size_; }
    T* begin() { return items_; }
    T* end() { return items_ + size_; }
    const T* begin() const { return items_; }
    const T* end() const { return items_ + size_; }

private:
    bool Grow() {
        const std::size_t capacity = capacity_ == 0 ? 16 : capacity_ * 2;
        auto* items = static_cast<T*>(basics::api::HeapAlloc(capacity * sizeof(T)));
        if (items == nullptr) {
            return false;
        }
        for (std::size_t i = 0; i < size_; ++i) {
            new (&items[i]) T(std::move(items_[i]));
            items_[i].~T();
        }
        basics::api::HeapFree(items_);
        items_ = items;
        capacity_ = capacity;
        return true;
    }

    T* items_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace kit
