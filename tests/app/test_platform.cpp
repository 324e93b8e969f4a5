#include <sys/stat.h>

#include "app/platform.h"
#include "app/utf8.h"
#include "tests/app/app_test_util.h"

TEST(Utf8, ConversionsBothWays) {
  const std::u16string text = u"a\u00e4\u20ac\U0001D400\u202F";
  const std::string bytes = utf16_to_utf8(text);
  EXPECT_EQ(bytes, "a\xC3\xA4\xE2\x82\xAC\xF0\x9D\x90\x80\xE2\x80\xAF");
  std::u16string back;
  ASSERT_TRUE(utf8_to_utf16(bytes, back));
  EXPECT_EQ(back, text);
  // Unpaired surrogates, in either order, become U+FFFD.
  EXPECT_EQ(utf16_to_utf8(std::u16string{0xDC00, u'x', 0xD800}), "\xEF\xBF\xBDx\xEF\xBF\xBD");
  // Malformed UTF-8 is refused: stray continuation, truncated sequence, overlong form,
  // encoded surrogate, beyond U+10FFFF, invalid lead byte.
  for (const char* bad :
       {"\x80", "a\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"}) {
    EXPECT_FALSE(utf8_to_utf16(bad, back)) << bad;
  }
  // The locale's bytes: UTF-8 when valid, Latin-1 otherwise.
  EXPECT_EQ(utf8_or_latin1_to_utf16("\xE2\x80\xAF"), u"\u202F");
  EXPECT_EQ(utf8_or_latin1_to_utf16("\xA0"), u"\u00A0");
  EXPECT_EQ(utf8_or_latin1_to_utf16(""), u"");
}

TEST(Platform, Folders) {
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(platform_app_data_folder(), "/somewhere/config");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(platform_app_data_folder(), "/home/u/.config");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    EXPECT_TRUE(platform_app_data_folder().empty());
  }
  {
    // The launcher's folder counts only as an absolute path.
    ScopedEnv launch("NUMERION_LAUNCH_DIR", "/opt/numerion/bin");
    EXPECT_EQ(platform_launch_folder(), "/opt/numerion/bin");
  }
  {
    ScopedEnv launch("NUMERION_LAUNCH_DIR", "bin");
    EXPECT_TRUE(platform_launch_folder().empty());
  }
  {
    ScopedEnv launch("NUMERION_LAUNCH_DIR", nullptr);
    EXPECT_TRUE(platform_launch_folder().empty());
  }
  const std::filesystem::path exe = platform_module_path();
  EXPECT_EQ(exe.filename(), "app_tests");
  EXPECT_TRUE(std::filesystem::is_regular_file(exe));
}

TEST(Platform, ReplaceFileKeepsPermissions) {
  TempFolder folder;
  const std::filesystem::path file = folder.path() / "f.ini";
  ASSERT_TRUE(platform_replace_file(file, "one", 3));
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u);  // a new file is private
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  ASSERT_TRUE(platform_replace_file(file, "second", 6));
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(read_bytes(file), (std::vector<unsigned char>{'s', 'e', 'c', 'o', 'n', 'd'}));
  EXPECT_FALSE(platform_replace_file(folder.path() / "missing" / "f.ini", "x", 1));
}
