#include "os/status.h"

#include <cstring>

namespace sessionstats {

std::string Status::message() const {
  if (error_ == 0) return what_;
  return what_ + ": " + std::strerror(error_);
}

int Status::exitStatus() const {
  if (kind_ == Kind::kOk) return 0;
  return kind_ == Kind::kUsage ? 2 : 1;
}

Status Status::within(std::string_view context) const {
  if (ok()) return *this;
  std::string what(context);
  if (!what_.empty()) what += ": " + what_;
  return {kind_, error_, std::move(what)};
}

void writeErrorLine(std::ostream& err, const Status& status) {
  err << kMessagePrefix << status.message() << '\n';
}

std::string quotedName(std::string_view name) {
  const auto blank = [](char byte) { return byte == ' ' || byte == '\t'; };
  if (!name.empty() && !blank(name.front()) && !blank(name.back())) {
    return std::string(name);
  }
  // Built by appending: GCC 12 warns falsely (-Wrestrict) about the inlined
  // copy in "'" + std::string(name) at -O2.
  std::string quoted;
  quoted.reserve(name.size() + 2);
  quoted += '\'';
  quoted += name;
  quoted += '\'';
  return quoted;
}

}  // namespace sessionstats
