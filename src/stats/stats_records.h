#ifndef SESSION_STATS_STATS_STATS_RECORDS_H_
#define SESSION_STATS_STATS_STATS_RECORDS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "stats/character_roster.h"

namespace sessionstats {

/// Number of 30-second match length bands; the last counts 720 s and more.
inline constexpr int kLengthBucketCount = 25;

/// Sentinel that shortestSeconds holds until a shorter match is seen.
inline constexpr std::int32_t kInitialShortestSeconds = 999999;

using CharacterCounts = std::array<std::int32_t, kCharacterCount>;
using MatchupCounts = std::array<std::int32_t, kMatchupCount>;

/// Adds with two's-complement wrap-around: a log line can carry numbers near
/// the 32-bit limit, and a counter that passes it must not be undefined.
inline void addWrapping(std::int32_t& counter, std::int32_t amount) {
  counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) +
                                      static_cast<std::uint32_t>(amount));
}

/// One player's results against one opponent, seen from the owner's side.
struct OpponentStats {
  std::string name;
  std::int32_t matchWins = 0;
  std::int32_t matchLosses = 0;
  std::int32_t roundWins = 0;
  std::int32_t roundLosses = 0;
  std::int32_t totalSeconds = 0;
  CharacterCounts charWins{};
  CharacterCounts charLosses{};
  CharacterCounts charRoundWins{};
  CharacterCounts charRoundLosses{};
  CharacterCounts oppCharWins{};
  CharacterCounts oppCharLosses{};
  CharacterCounts oppCharRoundWins{};
  CharacterCounts oppCharRoundLosses{};
  MatchupCounts matchupWins{};
  MatchupCounts matchupLosses{};
  MatchupCounts matchupRoundWins{};
  MatchupCounts matchupRoundLosses{};
};

/// Records in creation order, found by exact name. Appending never moves a
/// stored record, so references into the list stay valid for the whole run.
/// Lookup is a linear scan in list order; it walks a compact array of short
/// name keys, many keys per step, and compares the stored name only where
/// the key agrees, so a list of thousands of records costs one pass over a
/// few kilobytes.
template <typename Record>
class RecordList {
 public:
  using Key = std::uint16_t;

  /// The key kept for a name: equal names always have equal keys; different
  /// names may share one.
  static Key nameKey(std::string_view name) {
    // FNV-1a mixed with the length, folded to the width of a key.
    std::uint64_t hash = 14695981039346656037ull ^ name.size();
    for (char byte : name) {
      hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    }
    hash ^= hash >> 32;
    return static_cast<Key>(hash ^ (hash >> 16));
  }

  /// The first record whose name equals `name`, or nullptr.
  Record* find(std::string_view name) {
    const Key key = nameKey(name);
    const std::size_t count = keys_.size();
    std::size_t at = 0;
    // A chunk is tested for the key without a branch per key, which lets
    // the compiler compare many keys per instruction; only a chunk that
    // holds the key is walked one key at a time.
    for (; at + kChunk <= count; at += kChunk) {
      if (!chunkHolds(&keys_[at], key)) continue;
      if (Record* found = findFrom(at, at + kChunk, key, name)) return found;
    }
    return findFrom(at, count, key, name);
  }

  /// The record named `name`, appended with all counts at their initial
  /// values when the list has none.
  Record& findOrAdd(std::string_view name) {
    if (Record* found = find(name)) return *found;
    Record& added = records_.emplace_back();
    added.name = name;
    keys_.push_back(nameKey(name));
    return added;
  }

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }
  auto begin() { return records_.begin(); }
  auto end() { return records_.end(); }

 private:
  static constexpr std::size_t kChunk = 64;

  // Written as a mask of key width, not as a bool, so that GCC and Clang
  // both turn the loop into vector compares.
  static bool chunkHolds(const Key* keys, Key key) {
    Key hits = 0;
    for (std::size_t i = 0; i < kChunk; ++i) {
      hits |= keys[i] == key ? Key{0xffff} : Key{0};
    }
    return hits != 0;
  }

  // The first record in [from, to) named `name`, or nullptr.
  Record* findFrom(std::size_t from, std::size_t to, Key key,
                   std::string_view name) {
    for (std::size_t i = from; i < to; ++i) {
      if (keys_[i] == key && records_[i].name == name) return &records_[i];
    }
    return nullptr;
  }

  std::deque<Record> records_;
  std::vector<Key> keys_;
};

using OpponentList = RecordList<OpponentStats>;

/// Everything counted for one canonical player name.
struct PlayerStats {
  std::string name;
  std::int32_t matchWins = 0;
  std::int32_t matchLosses = 0;
  std::int32_t roundWins = 0;
  std::int32_t roundLosses = 0;
  CharacterCounts charWins{};
  CharacterCounts charLosses{};
  CharacterCounts charRoundWins{};
  CharacterCounts charRoundLosses{};
  MatchupCounts matchupWins{};
  MatchupCounts matchupLosses{};
  MatchupCounts matchupRoundWins{};
  MatchupCounts matchupRoundLosses{};
  std::int32_t totalSeconds = 0;
  OpponentList opponents;
  std::int32_t shortestSeconds = kInitialShortestSeconds;
  std::int32_t longestSeconds = 0;
  std::array<std::int32_t, kLengthBucketCount> lengthBuckets{};
};

using PlayerList = RecordList<PlayerStats>;

/// One alias line: start lines naming `alias` are counted under `target`.
struct AliasEntry {
  std::string alias;
  std::string target;
};

/// The session whose result lines are being counted. The pointers refer into
/// the player list and its opponent lists; they are set together and are
/// meaningful only while inSession is true.
struct SessionState {
  bool inSession = false;
  PlayerStats* player1 = nullptr;
  PlayerStats* player2 = nullptr;
  OpponentStats* player1VsPlayer2 = nullptr;
  OpponentStats* player2VsPlayer1 = nullptr;
};

/// The numbers of one result line, passed on as read.
struct MatchResult {
  std::int32_t winner = 0;  // 1 or 2; anything else is a loss for both sides
  std::int32_t player1Rounds = 0;
  std::int32_t player2Rounds = 0;
  std::int32_t character1 = 0;
  std::int32_t character2 = 0;
  std::int32_t seconds = 0;
};

/// The record named `name` in `players`, appended when there is none.
PlayerStats& findOrAddPlayer(PlayerList& players, std::string_view name);

/// `owner`'s entry for the opponent named `name`, appended when there is none.
OpponentStats& findOrAddOpponent(PlayerStats& owner, std::string_view name);

/// Length band of a match: seconds / 30 truncated toward zero, clamped to
/// 0..24 so that any duration, negative ones included, has a bucket.
int lengthBucket(std::int32_t seconds);

/// Adds one match to the four records of the session; a player who meets
/// himself gets both sides. Every sum wraps around modulo 2^32.
/// REQUIRES: the four pointers of `session` are set; both character indices
/// of `match` are in 0..22.
void recordMatch(const SessionState& session, const MatchResult& match);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_STATS_RECORDS_H_
