#ifndef SESSION_STATS_STATS_TALLY_H_
#define SESSION_STATS_STATS_TALLY_H_

#include <array>
#include <cstdint>

#include "stats/character_roster.h"

namespace sessionstats {

/// Width of a match length band in seconds.
inline constexpr std::int32_t kLengthBandSeconds = 30;

/// Number of match length bands; the last counts 720 s and more.
inline constexpr int kLengthBucketCount = 25;

/// Sentinel that shortestSeconds holds until a shorter match is seen.
inline constexpr std::int32_t kInitialShortestSeconds = 999999;

using CharacterCounts = std::array<std::int32_t, kCharacterCount>;
using MatchupCounts = std::array<std::int32_t, kMatchupCount>;
using LengthCounts = std::array<std::int32_t, kLengthBucketCount>;

/// Index of the grid cell of a match played as `own` against `opposing`.
/// REQUIRES: both are character indices, 0 <= index < kCharacterCount.
constexpr int matchupIndex(int own, int opposing) {
  return own + kCharacterCount * opposing;
}

/// Length band of a match: seconds / 30 truncated toward zero, clamped to
/// 0..24 so that any duration, negative ones included, has a band.
constexpr int lengthBucket(std::int32_t seconds) {
  const std::int32_t band = seconds / kLengthBandSeconds;
  if (band < 0) return 0;
  if (band >= kLengthBucketCount) return kLengthBucketCount - 1;
  return static_cast<int>(band);
}

/// Adds with two's-complement wrap-around: a log line can carry numbers near
/// the 32-bit limit, and a counter that passes it must not be undefined.
inline void addWrapping(std::int32_t& counter, std::int32_t amount) {
  counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) +
                                      static_cast<std::uint32_t>(amount));
}

/// Matches and rounds won and lost, from the owner's side: of a player, of a
/// session, against an opponent.
struct Score {
  std::int32_t matchWins = 0;
  std::int32_t matchLosses = 0;
  std::int32_t roundWins = 0;
  std::int32_t roundLosses = 0;

  /// The matches won and lost, summed in 64 bits so that two counts that
  /// wrapped around cannot overflow.
  std::int64_t matches() const { return std::int64_t{matchWins} + matchLosses; }
  friend bool operator==(const Score&, const Score&) = default;
};

/// What is counted for a player, in all and against one opponent alike, from
/// the owner's side: his score, matches and rounds won and lost per own
/// character, matches won and lost per pair of own and opposing character,
/// and time played.
struct Tally : Score {
  std::int32_t totalSeconds = 0;
  CharacterCounts charWins{};
  CharacterCounts charLosses{};
  CharacterCounts charRoundWins{};
  CharacterCounts charRoundLosses{};
  MatchupCounts matchupWins{};
  MatchupCounts matchupLosses{};

  friend bool operator==(const Tally&, const Tally&) = default;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_TALLY_H_
