#pragma once

#include <string>
#include <utility>
#include <variant>

namespace vantrel {

// The reason something could not be done, kept until someone tells it.
template <typename E>
struct Unexpected {
    E reason;
};

template <typename E>
Unexpected<E> Fail(E reason) {
    return {std::move(reason)};
}
inline Unexpected<std::string> Fail(const char* reason) { return {reason}; }

// What an operation that can fail gives back: its value, or the reason it has
// none. Every layer that can fail with a reason says so with this type.
template <typename T, typename E = std::string>
class Expected {
public:
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected<E> failure) : state_(std::in_place_index<1>, std::move(failure.reason)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }
    const T& value() const { return std::get<0>(state_); }
    T& value() { return std::get<0>(state_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const E& reason() const { return std::get<1>(state_); }

private:
    std::variant<T, E> state_;
};

// For an operation that gives nothing back but may fail.
template <typename E>
class Expected<void, E> {
public:
    Expected() = default;
    Expected(Unexpected<E> failure) : reason_(std::move(failure.reason)), failed_(true) {}

    bool has_value() const { return !failed_; }
    explicit operator bool() const { return has_value(); }
    const E& reason() const { return reason_; }

private:
    E reason_{};
    bool failed_ = false;
};

}  // namespace vantrel
