#pragma once
// What can fail: a value, or an IoError that says why in the words the user
// is shown. Every read, write and delete reports through it.

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace kirano::text {

// Why something failed, as the user is told it. A failure the system
// reported keeps its error number beside the platform's text for it; any
// other failure carries its own text and the code 0.
class IoError {
  public:
    // "ﾌｧｲﾙへのｱｸｾｽが拒否されました", "ﾃﾞｨｽｸがいっぱいです" or "I/O ｴﾗｰ (n)".
    explicit IoError(int code);
    explicit IoError(QString text, int code = 0) : code_(code), text_(std::move(text)) {}

    int code() const { return code_; }
    const QString &text() const { return text_; }

  private:
    int code_;
    QString text_;
};

// "ﾌｧｲﾙ %s を作成できません" with the platform's reason after it: how a
// failed write is reported, by Kirano and the autopilot alike.
IoError cannotWrite(const QString &path, const IoError &error);

// A value, or the error that stood in its way.
template <typename T = void> class Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(IoError error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T &operator*() & { return std::get<0>(state_); }
    const T &operator*() const & { return std::get<0>(state_); }
    T &&operator*() && { return std::get<0>(std::move(state_)); }
    T *operator->() { return &std::get<0>(state_); }
    const T *operator->() const { return &std::get<0>(state_); }
    const T &value() const & { return std::get<0>(state_); }
    T &&value() && { return std::get<0>(std::move(state_)); }

    template <typename U> T value_or(U &&fallback) const & {
        return has_value() ? **this : static_cast<T>(std::forward<U>(fallback));
    }
    template <typename U> T value_or(U &&fallback) && {
        return has_value() ? std::move(**this) : static_cast<T>(std::forward<U>(fallback));
    }

    const IoError &error() const { return std::get<1>(state_); }

    // As an optional compares with a value: equal only when it holds one.
    template <typename U> friend bool operator==(const Result &result, const U &value) {
        return result.has_value() && *result == value;
    }

  private:
    std::variant<T, IoError> state_;
};

// Done, or the error that stood in the way.
template <> class Result<void> {
  public:
    Result() = default;
    Result(IoError error) : error_(std::move(error)) {}

    bool has_value() const { return !error_; }
    explicit operator bool() const { return has_value(); }
    const IoError &error() const { return *error_; }

  private:
    std::optional<IoError> error_;
};

} // namespace kirano::text
