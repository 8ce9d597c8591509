#include "base/status.h"

#include <cstring>

#include "base/ascii.h"

namespace sessionstats {

std::string Status::message() const {
  if (error_ == 0) return what_;
  return what_ + ": " + std::strerror(error_);
}

int Status::exitStatus() const {
  if (kind_ == Kind::kOk) return 0;
  return kind_ == Kind::kUsage ? 2 : 1;
}

void writeErrorLine(std::ostream& err, const Status& status) {
  err << kMessagePrefix << status.message() << '\n';
}

std::string quotedName(std::string_view name) {
  if (!name.empty() && !isBlank(name.front()) && !isBlank(name.back())) {
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
