#pragma once

// The kit runner's bytes: a buffer on the process heap that grows as it is
// appended to, for journals, logs and reports. The runner has no C runtime,
// so this stands in for std::string. A buffer that memory failed once stays
// failed, and says so, rather than holding half of what was appended.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "basics/HeapApi.h"

namespace kit {

class Buffer {
public:
    Buffer() = default;
    ~Buffer() { basics::api::HeapFree(bytes_); }
    Buffer(Buffer&& other) noexcept { Swap(other); }
    Buffer& operator=(Buffer&& other) noexcept {
        Swap(other);
        return *this;
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    Buffer& Append(std::string_view text) {
        if (failed_ || !Reserve(size_ + text.size())) {
            failed_ = true;
            return *this;
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            bytes_[size_++] = text[i];
        }
        bytes_[size_] = '\0';
        return *this;
    }
    Buffer& Append(char c) { return Append(std::string_view(&c, 1)); }
    Buffer& AppendNumber(std::uint32_t number) {
        char digits[10];
        std::size_t count = 0;
        do {
            digits[count++] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        while (count > 0) {
            Append(digits[--count]);
        }
        return *this;
    }
    // Two lowercase hex digits a byte.
    Buffer& AppendHex(std::string_view bytes) {
        constexpr char kDigits[] = "0123456789abcdef";
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            Append(kDigits[byte >> 4]).Append(kDigits[byte & 15]);
        }
        return *this;
    }
    void Clear() {
        size_ = 0;
        failed_ = false;
        if (bytes_ != nullptr) {
            bytes_[0] = '\0';
        }
    }

    std::string_view View() const { return {bytes_ != nullptr ? bytes_ : "", size_}; }
    // NUL-terminated, never null.
    const char* CStr() const { return bytes_ != nullptr ? bytes_ : ""; }
    std::size_t Size() const { return size_; }
    bool Failed() const { return failed_; }

private:
    bool Reserve(std::size_t size) {
        if (size < capacity_) {
            return true;
        }
        std::size_t capacity = capacity_ == 0 ? 64 : capacity_;
        while (capacity <= size) {
            if (capacity > SIZE_MAX / 2) {
                return false;
            }
            capacity *= 2;
        }
        auto* bytes = static_cast<char*>(basics::api::HeapAlloc(capacity));
        if (bytes == nullptr) {
            return false;
        }
        for (std::size_t i = 0; i < size_; ++i) {
            bytes[i] = bytes_[i];
        }
        basics::api::HeapFree(bytes_);
        bytes_ = bytes;
        capacity_ = capacity;
        return true;
    }
    void Swap(Buffer& other) {
        std::swap(bytes_, other.bytes_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        std::swap(failed_, other.failed_);
    }

    char* bytes_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    bool failed_ = false;
};

}  // namespace kit
