#ifndef SESSION_STATS_OS_STATUS_H_
#define SESSION_STATS_OS_STATUS_H_

#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace sessionstats {

/// What every message of the program on standard error begins with.
inline constexpr std::string_view kMessagePrefix = "session-stats: ";

/// The outcome of an operation, at every floor from the platform up: ok, or
/// a failure that says what failed (one line, without the program's name)
/// and the errno of the system call to blame, if any. Its kind decides the
/// exit status.
class Status {
 public:
  /// kUsage: the command line asks for what cannot be done. kNotFound: the
  /// log cannot be read from its first byte. kFailed: anything else.
  enum class Kind : unsigned char { kOk, kUsage, kNotFound, kFailed };

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
  /// A failed system call, said of nothing yet (see within): ok for 0.
  static Status ofErrno(int error) {
    return error == 0 ? Status() : failed({}, error);
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
  /// This failure said of `context`: its what() becomes "context: what()",
  /// or `context` when it was empty. Ok stays ok.
  Status within(std::string_view context) const;

 private:
  Status(Kind kind, int error, std::string what)
      : kind_(kind), error_(error), what_(std::move(what)) {}

  Kind kind_ = Kind::kOk;
  int error_ = 0;
  std::string what_;
};

/// `name` as a message shows it: in single quotes when it is empty or
/// begins or ends with a space or a tab, so that it can be seen.
std::string quotedName(std::string_view name);

/// Writes kMessagePrefix, message() and a line end on `err`.
/// REQUIRES: !status.ok()
void writeErrorLine(std::ostream& err, const Status& status);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_STATUS_H_
