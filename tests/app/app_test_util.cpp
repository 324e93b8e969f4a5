#include "tests/app/app_test_util.h"

#include "app/utf8.h"

std::string u8(std::u16string_view text) {
  return utf16_to_utf8(text);
}

namespace {

// The whole test program runs with XDG_CONFIG_HOME in a temporary folder, so that code reaching
// the program's own settings path can never touch the real configuration.
class ConfigHomeEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    folder_.emplace();
    setenv("XDG_CONFIG_HOME", folder_->path().c_str(), 1);
  }
  void TearDown() override { folder_.reset(); }

 private:
  std::optional<TempFolder> folder_;
};

[[maybe_unused]] ::testing::Environment* const g_config_home =
    ::testing::AddGlobalTestEnvironment(new ConfigHomeEnvironment);

}  // namespace
