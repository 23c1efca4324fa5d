#pragma once

#include <QString>
#include <utility>
#include <variant>

namespace tessal {

// A failure the user is told about: the message is the Chinese text shown in the alert.
struct UserError {
    QString domain;
    int code = 0;
    QString message;

    friend bool operator==(const UserError&, const UserError&) = default;
};

// A value or the UserError that prevented it.
template <typename T>
class Result {
  public:
    Result(T value) : state_(std::move(value)) {}
    Result(UserError error) : state_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<T>(state_); }
    T& value() & { return std::get<T>(state_); }
    T&& value() && { return std::get<T>(std::move(state_)); }
    const UserError& error() const { return std::get<UserError>(state_); }

  private:
    std::variant<T, UserError> state_;
};

}  // namespace tessal
