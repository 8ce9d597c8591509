#ifndef SESSION_STATS_TOOLS_LOG_GENERATOR_H_
#define SESSION_STATS_TOOLS_LOG_GENERATOR_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace sessionstats {

/// The local player's canonical name: every session of a generated log has
/// him on one side, under this name or one aliased to it.
inline constexpr char kGeneratedLocalPlayer[] = "Kestrel";

struct LogGeneratorOptions {
  std::uint64_t lines = 1'000'000;  // lines written, each ending in LF
  int opponents = 2'000;            // distinct opponent names; at least 1
  std::uint64_t seed = 1;
};

/// Writes a synthetic session log as the netplay client would, one line at
/// a time: years of evenings of sessions between the local player and
/// `opponents` others, with the client's chatter between the result lines and
/// about one line in a hundred malformed (cut short, unknown characters,
/// garbage bytes, overlong). The same options always give the same bytes,
/// on any platform. Every opponent gets a session before any opponent gets a
/// second one, so a log of some thousand lines per opponent names them all.
class LogGenerator {
 public:
  /// REQUIRES: options.opponents >= 1.
  explicit LogGenerator(const LogGeneratorOptions& options);

  /// The next line with its LF, valid until the next call; empty once
  /// options.lines lines have been handed out. No line holds an LF elsewhere.
  std::string_view nextLine();

 private:
  std::uint64_t random();
  int below(int bound);  // uniform in 0..bound-1
  bool chance(int percent);

  void generateSession();
  void appendConnecting();
  // The result lines of one session; returns how many of them count.
  int appendMatches(std::string_view player1, std::string_view player2,
                    int favourite1, int favourite2, bool localFirst);
  void appendStamp();
  void appendInt(std::int64_t value);
  void appendOtherLine(std::string_view player1, std::string_view player2);
  void appendMalformedLine(std::string_view player1, std::string_view player2);
  void appendResultLine(int winner, std::string_view name1,
                        std::string_view name2, bool cutShort);
  void appendClientStart();
  int pickOpponent();
  static std::string opponentName(int index);

  LogGeneratorOptions options_;
  std::uint64_t state_;
  std::uint64_t linesLeft_;
  std::int64_t clock_;  // seconds since 1970-01-01 00:00:00
  std::int64_t stampDay_ = -1;
  char stampDate_[11] = {};  // "YYYY-MM-DD" of stampDay_
  int opponentSessions_ = 0;
  int localFavourite_ = 0;
  std::string session_;  // the lines of the current session
  std::size_t cursor_ = 0;
};

/// The whole log of `options` in one string.
std::string generateLog(const LogGeneratorOptions& options);

}  // namespace sessionstats

#endif  // SESSION_STATS_TOOLS_LOG_GENERATOR_H_
