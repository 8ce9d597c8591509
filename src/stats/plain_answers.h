#ifndef SESSION_STATS_STATS_PLAIN_ANSWERS_H_
#define SESSION_STATS_STATS_PLAIN_ANSWERS_H_

#include <cstdint>

#include "stats/insights.h"

namespace sessionstats {

/// The answer to a plain question: too few matches to answer it, no clear
/// sign either way, or a clear yes or no.
enum class Verdict : std::uint8_t { kTooFewMatches, kNoClearSign, kYes, kNo };

/// An answer and what says so: the index of the form change (improving), of
/// the stage (stopping) or of the hour band; -1 where nothing does.
struct PlainAnswer {
  Verdict verdict = Verdict::kTooFewMatches;
  int because = -1;
};

/// The four questions a player asks, answered from the clear levels only.
struct PlainAnswers {
  // Yes or no by the most recent clear form change; no clear sign (the
  // change from the first month); too few in a single month.
  PlainAnswer improving;
  // Yes where after a loss is clearly worse, no where clearly better; too
  // few under kMinMatchesToTell matches after a loss.
  PlainAnswer worseAfterLoss;
  // Yes at the first stage after the first that is clearly worse; too few
  // where no later stage has kMinMatchesToTell matches.
  PlainAnswer stopAfter;
  // Yes at the clearly worst band; too few where under two bands have
  // kMinMatchesToTell matches.
  PlainAnswer worseAtHours;
};

/// The four answers from the levels and form changes of `insights`.
PlainAnswers answerPlainly(const Insights& insights);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_PLAIN_ANSWERS_H_
