#ifndef SESSION_STATS_BASE_STATUS_H_
#define SESSION_STATS_BASE_STATUS_H_

#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace sessionstats {

/// What every message of the program on standard error begins with.
inline constexpr std::string_view kMessagePrefix = "session-stats: ";

/// The outcome of an operation of the program layer: ok, or a failure that
/// says what failed (one line without the program's name or a line end) and,
/// when a system call failed, its errno. Every failure ends the run; its kind
/// decides the exit status.
class Status {
 public:
  enum class Kind : unsigned char {
    kOk,
    /// The command line asks for something that cannot be done: exit 2.
    kUsage,
    /// The log cannot be read from its first byte (it is not there, or it
    /// is a directory, or unreadable): exit 1 after "Could not find".
    kNotFound,
    /// Anything else that went wrong: exit 1.
    kFailed,
  };

  /// Ok.
  Status() = default;
  static Status usage(std::string what) {
    return {Kind::kUsage, 0, std::move(what)};
  }
  static Status notFound(std::string what, int error) {
    return {Kind::kNotFound, error, std::move(what)};
  }
  /// `error` is 0 when no system call is to blame.
  static Status failed(std::string what, int error = 0) {
    return {Kind::kFailed, error, std::move(what)};
  }

  bool ok() const { return kind_ == Kind::kOk; }
  Kind kind() const { return kind_; }
  /// The errno of the system call that failed, or 0.
  int error() const { return error_; }
  const std::string& what() const { return what_; }
  /// what(), followed by ": " and strerror(error()) when error() is not 0.
  std::string message() const;
  /// 0 when ok, 2 for kUsage, else 1.
  int exitStatus() const;

 private:
  Status(Kind kind, int error, std::string what)
      : kind_(kind), error_(error), what_(std::move(what)) {}

  Kind kind_ = Kind::kOk;
  int error_ = 0;
  std::string what_;
};

/// Writes kMessagePrefix, message() and a line end on `err`.
/// REQUIRES: !status.ok()
void writeErrorLine(std::ostream& err, const Status& status);

}  // namespace sessionstats

#endif  // SESSION_STATS_BASE_STATUS_H_
