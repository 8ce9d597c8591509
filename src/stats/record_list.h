#ifndef SESSION_STATS_STATS_RECORD_LIST_H_
#define SESSION_STATS_STATS_RECORD_LIST_H_

#include <cstddef>
#include <deque>
#include <string_view>
#include <unordered_map>

namespace sessionstats {

/// Records in creation order, found by exact name through a hash index.
/// Appending never moves a stored record, so references into the list (and
/// the names the index points to) stay valid for the whole run.
/// REQUIRES: Record has a std::string `name` that is never changed.
template <typename Record>
class RecordList {
 public:
  RecordList() = default;
  // The index points into the records: a copy would point into the original,
  // while a move takes the records along without moving them.
  RecordList(const RecordList&) = delete;
  RecordList& operator=(const RecordList&) = delete;
  RecordList(RecordList&&) noexcept = default;
  RecordList& operator=(RecordList&&) noexcept = default;
  ~RecordList() = default;

  /// The record whose name equals `name`, or nullptr.
  Record* find(std::string_view name) {
    const auto found = index_.find(name);
    return found == index_.end() ? nullptr : found->second;
  }
  const Record* find(std::string_view name) const {
    const auto found = index_.find(name);
    return found == index_.end() ? nullptr : found->second;
  }

  /// The record named `name`, appended with all counts at their initial
  /// values when the list has none.
  Record& findOrAdd(std::string_view name) {
    if (Record* found = find(name)) return *found;
    Record& added = records_.emplace_back();
    added.name = name;
    index_.emplace(added.name, &added);
    return added;
  }

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }
  auto begin() { return records_.begin(); }
  auto end() { return records_.end(); }

 private:
  std::deque<Record> records_;
  std::unordered_map<std::string_view, Record*> index_;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_RECORD_LIST_H_
