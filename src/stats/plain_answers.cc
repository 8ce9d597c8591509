#include "stats/plain_answers.h"

#include <array>
#include <cstddef>
#include <vector>

namespace sessionstats {
namespace {

PlainAnswer answerAfterLoss(const ConditionEffect& level) {
  if (level.matches < kMinMatchesToTell) return {};
  if (!level.clear) return {Verdict::kNoClearSign};
  return {level.points < 0 ? Verdict::kYes : Verdict::kNo};
}

// The first level from `first` on that is clearly worse (the worst of them
// with `worst`); too few, whatever is clear, where under `needed` levels
// have enough matches.
template <std::size_t N>
PlainAnswer answerWorse(const std::array<ConditionEffect, N>& levels, int first,
                        int needed, bool worst) {
  PlainAnswer answer;
  int enough = 0;
  for (int level = first; level < static_cast<int>(N); ++level) {
    enough += levels[level].matches >= kMinMatchesToTell;
    if (!levels[level].clear || levels[level].points >= 0) continue;
    if (answer.because < 0 ||
        (worst && levels[level].points < levels[answer.because].points)) {
      answer.because = level;
    }
  }
  if (enough < needed) return {};
  answer.verdict = answer.because >= 0 ? Verdict::kYes : Verdict::kNoClearSign;
  return answer;
}

}  // namespace

PlainAnswers answerPlainly(const Insights& insights) {
  PlainAnswers answers;
  const std::vector<FormChange>& changes = insights.formChange;
  if (!changes.empty()) answers.improving = {Verdict::kNoClearSign, 0};
  for (std::size_t i = changes.size(); i-- > 0;) {
    if (changes[i].clear) {
      answers.improving = {changes[i].points > 0 ? Verdict::kYes : Verdict::kNo,
                           static_cast<int>(i)};
      break;
    }
  }
  answers.worseAfterLoss = answerAfterLoss(insights.afterLoss);
  answers.stopAfter = answerWorse(insights.sessionStage, 1, 1, false);
  answers.worseAtHours = answerWorse(insights.timeOfDay, 0, 2, true);
  return answers;
}

}  // namespace sessionstats
