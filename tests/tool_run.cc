#include "tool_run.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace sessionstats::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
  // Test processes run side by side: each has folders of its own.
  static const unsigned process = std::random_device()();
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() /
          ("session-stats-test-" + std::to_string(process) + "-" +
           std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string textLines(std::string_view text) {
  if (!kOnWindows) return std::string(text);
  std::string lines;
  for (const char byte : text) {
    if (byte == '\n') lines += '\r';
    lines += byte;
  }
  return lines;
}

void writeFile(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace sessionstats::testing
