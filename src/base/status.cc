#include "base/status.h"

#include <cstring>

namespace sessionstats {

std::string Status::message() const {
  if (error_ == 0) return what_;
  return what_ + ": " + std::strerror(error_);
}

int Status::exitStatus() const {
  switch (kind_) {
    case Kind::kOk:
      return 0;
    case Kind::kUsage:
      return 2;
    case Kind::kNotFound:
    case Kind::kFailed:
      break;
  }
  return 1;
}

void writeErrorLine(std::ostream& err, const Status& status) {
  err << kMessagePrefix << status.message() << '\n';
}

}  // namespace sessionstats
