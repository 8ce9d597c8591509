#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "os/settings_folder.h"

namespace sessionstats {
namespace {

// Sets or unsets the variable `name` for as long as it lives.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value)
      : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SettingsFolder, FollowsXdgConfigHomeThenHomeAndNeverARelativePath) {
  struct Case {
    std::optional<std::string> config;
    std::optional<std::string> home;
    std::string folder;
  };
  const Case cases[] = {
      {"/x/config", "/home/ana", "/x/config/session-stats"},
      {"config", "/home/ana", "/home/ana/.config/session-stats"},
      {std::nullopt, "/home/ana", "/home/ana/.config/session-stats"},
      {"", "ana", ""},
      {std::nullopt, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    const ScopedVariable config("XDG_CONFIG_HOME", c.config);
    const ScopedVariable home("HOME", c.home);
    EXPECT_EQ(settingsFolder(), c.folder)
        << c.config.value_or("unset") << ", " << c.home.value_or("unset");
  }
}

}  // namespace
}  // namespace sessionstats
