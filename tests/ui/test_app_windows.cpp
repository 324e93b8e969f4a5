// The main window and its menu, the options window, the About window and the help page.
#include <gtest/gtest.h>

#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <cstdlib>
#include <fstream>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "core/text.h"
#include "ui/controls.h"
#include "ui_test_util.h"
#include "windows/app_windows.h"

namespace {

const TestConfigFolder g_environment("numerion_app_windows");
const std::filesystem::path& g_config = g_environment.path();

std::vector<std::u16string> g_messages;
void record_message(const char16_t*, const char16_t* text, int) {
  g_messages.emplace_back(text);
}

std::vector<std::string> g_started;
bool g_start_result = true;
bool record_start(const std::string& path) {
  g_started.push_back(path);
  return g_start_result;
}

std::vector<std::u16string> g_questions;
bool g_answer = true;
bool answer(std::u16string_view caption, std::u16string_view text) {
  g_questions.emplace_back(std::u16string(caption) + u"|" + std::u16string(text));
  return g_answer;
}

std::vector<std::u16string> g_opened;
bool record_open(const std::u16string& url) {
  g_opened.push_back(url);
  return true;
}

struct AppWindows : ::testing::Test {
  explicit AppWindows(int language = kLanguageAutomatic) {
    ensure_app();
    std::filesystem::remove(settings_path());
    Settings s;
    s.language = language;
    s.show_welcome_hint = false;
    if (language != kLanguageAutomatic) write_settings_file(settings_path(), s);
    g_settings = Settings{};
    clear_settings_changed();
    clear_app_error();
    prepare_application();
    create_windows();
    // The calculator records the default precision that replaces a stored 0 as a change; the
    // tests here look at the changes their own steps make.
    clear_settings_changed();
    platform_set_message_hook(record_message);
    ui_set_question_hook(answer);
    ui_set_start_program_hook(record_start);
    ui_set_open_url_hook(record_open);
    g_messages.clear();
    g_started.clear();
    g_questions.clear();
    g_opened.clear();
    g_answer = true;
    g_start_result = true;
    ui_show_window(g_app.main_window);
  }
  ~AppWindows() override {
    destroy_windows();
    ui_set_question_hook(nullptr);
    ui_set_start_program_hook(nullptr);
    ui_set_open_url_hook(nullptr);
  }
  Wnd options(int id) { return ui_control(g_app.options, id); }
  void open_options() {
    ASSERT_TRUE(ui_choose_menu_item(g_app.main_window, kMenuOptions));
    ASSERT_TRUE(ui_is_visible(g_app.options));
  }
  // Control ids of the options window, in the order it creates them.
  enum {
    kAutomatic = 12,
    kDecimal = 14,
    kThousands = 16,
    kUseCalc = 18,
    kLangAuto = 22,
    kLangEn,
    kLangDe,
    kOk,
    kCancel
  };
};

struct GermanAppWindows : AppWindows {
  GermanAppWindows() : AppWindows(kLanguageGerman) {}
};

TEST_F(AppWindows, MainWindowTitleAndMenuInEnglish) {
  EXPECT_EQ(ui_title(g_app.main_window), u"Numerion 3.8");
  EXPECT_EQ(ui_menu_text(g_app.main_window, kMenuApplication), u"Application");
  EXPECT_EQ(ui_menu_text(g_app.main_window, kMenuFactors), u"Prime Factors && Divisors");
  EXPECT_EQ(ui_menu_text(g_app.main_window, kMenuInfo), u"Info ...");
  for (int item : {kMenuOptions, kMenuExit, kMenuShowHelp, kMenuInfo}) {
    EXPECT_TRUE(ui_menu_item_enabled(g_app.main_window, item)) << item;
  }
  // An Algebra item is enabled exactly when its window exists.
  for (const TaskWindowEntry& e : task_windows()) {
    EXPECT_EQ(ui_menu_item_enabled(g_app.main_window, e.menu_item), e.create != nullptr) << e.name;
  }
  EXPECT_TRUE(ui_menu_item_enabled(g_app.main_window, kMenuCalculator));
  ASSERT_TRUE(ui_choose_menu_item(g_app.main_window, kMenuExit));
  EXPECT_FALSE(ui_is_visible(g_app.main_window));
}

TEST_F(GermanAppWindows, MenuFollowsTheChosenLanguage) {
  EXPECT_EQ(current_language(), kLanguageGerman);
  EXPECT_EQ(ui_menu_text(g_app.main_window, kMenuHelp), language_text(kLanguageGerman, 17));
  EXPECT_EQ(ui_menu_text(g_app.main_window, kMenuOptions), language_text(kLanguageGerman, 5));
  EXPECT_EQ(ui_title(g_app.options), language_text(kLanguageGerman, 48));
  EXPECT_EQ(help_page_path("/h", current_language()).filename(), "overview_de.html");
}

TEST_F(AppWindows, OptionsShowTheSettingsAndAutomaticTogglesTheLists) {
  g_settings.decimal_separator = kDecimalComma;
  g_settings.thousands_separator = kThousandsNarrowSpace;
  g_settings.thousands_sep_sci_calc = true;
  g_settings.language = kLanguageGerman;
  open_options();
  EXPECT_FALSE(ui_checked(options(kAutomatic)));
  EXPECT_EQ(ui_combo_selection(options(kDecimal)), 1);
  EXPECT_EQ(ui_combo_selection(options(kThousands)), 3);
  EXPECT_EQ(ui_combo_text(options(kThousands), 3), u"Narrow space U+202F");
  EXPECT_TRUE(ui_checked(options(kUseCalc)));
  EXPECT_TRUE(ui_checked(options(kLangDe)));
  EXPECT_FALSE(ui_checked(options(kLangAuto)));
  EXPECT_TRUE(ui_is_enabled(options(kDecimal)));
  ui_click(options(kAutomatic));
  EXPECT_FALSE(ui_is_enabled(options(kDecimal)));
  EXPECT_FALSE(ui_is_enabled(options(kThousands)));
  EXPECT_FALSE(ui_is_enabled(options(kDecimal - 1)));  // the labels too
  ui_click(options(kAutomatic));
  EXPECT_TRUE(ui_is_enabled(options(kThousands)));
  ui_click(options(kCancel));
  EXPECT_FALSE(ui_is_visible(g_app.options));
  EXPECT_FALSE(settings_changed());
}

TEST_F(AppWindows, EqualOrMissingSeparatorsGive1100AndChangeNothing) {
  g_settings.decimal_separator = kDecimalPoint;
  g_settings.thousands_separator = kThousandsApostrophe;
  apply_separators(g_settings);
  open_options();
  ui_combo_select(options(kDecimal), kDecimalComma);
  ui_combo_select(options(kThousands), kThousandsComma);
  ui_click(options(kUseCalc));
  ui_click(options(kOk));
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0], msg(143));
  EXPECT_TRUE(ui_is_visible(g_app.options));
  EXPECT_EQ(g_settings.decimal_separator, kDecimalPoint);
  EXPECT_EQ(g_settings.thousands_separator, kThousandsApostrophe);
  EXPECT_FALSE(g_settings.thousands_sep_sci_calc);  // nothing else is applied either
  EXPECT_EQ(g_number_settings.decimal_sep[0], u'.');
  EXPECT_FALSE(settings_changed());

  ui_combo_select(options(kThousands), -1);
  ui_click(options(kOk));
  ASSERT_EQ(g_messages.size(), 2u);
  EXPECT_EQ(g_messages[1], msg(143));
  EXPECT_EQ(app_error_code(), 0u);  // shown and cleared
}

TEST_F(AppWindows, NewSeparatorsApplyAtOnce) {
  open_options();
  ui_click(options(kAutomatic));  // clear "Automatic selection"
  ui_combo_select(options(kDecimal), kDecimalComma);
  ui_combo_select(options(kThousands), kThousandsPoint);
  ui_click(options(kUseCalc));
  ui_click(options(kOk));
  EXPECT_TRUE(g_messages.empty());
  EXPECT_FALSE(ui_is_visible(g_app.options));
  EXPECT_EQ(g_settings.decimal_separator, kDecimalComma);
  EXPECT_EQ(g_settings.thousands_separator, kThousandsPoint);
  EXPECT_TRUE(g_settings.thousands_sep_sci_calc);
  EXPECT_EQ(g_number_settings.decimal_sep[0], u',');
  EXPECT_EQ(g_number_settings.thousands_sep[0], u'.');
  EXPECT_TRUE(settings_changed());
  EXPECT_TRUE(g_started.empty());

  // Back to automatic: both choices become automatic together.
  open_options();
  ui_click(options(kAutomatic));
  ui_click(options(kOk));
  EXPECT_EQ(g_settings.decimal_separator, kSeparatorAutomatic);
  EXPECT_EQ(g_settings.thousands_separator, kSeparatorAutomatic);
}

TEST_F(AppWindows, LanguageChangeSavesAndRestartsFromTheProgramPath) {
  open_options();
  ui_click(options(kLangDe));
  ui_click(options(kOk));
  ASSERT_EQ(g_questions.size(), 1u);
  EXPECT_EQ(g_questions[0], std::u16string(msg(67)) + u"|" + msg(68));
  ASSERT_EQ(g_started.size(), 1u);
  EXPECT_EQ(g_started[0], platform_module_path().native());
  Settings on_disk;
  ASSERT_TRUE(read_settings_file(settings_path(), on_disk));
  EXPECT_EQ(on_disk.language, kLanguageGerman);
  EXPECT_FALSE(settings_changed());  // written before the restart, nothing left for the exit
  EXPECT_FALSE(ui_is_visible(g_app.main_window));
  EXPECT_FALSE(ui_is_visible(g_app.options));
  EXPECT_TRUE(g_messages.empty());
}

TEST_F(AppWindows, CancelledLanguageChangeKeepsTheTextsButStoresTheChoice) {
  g_answer = false;
  open_options();
  ui_click(options(kLangEn));
  ui_click(options(kOk));
  EXPECT_EQ(g_questions.size(), 1u);
  EXPECT_TRUE(g_started.empty());
  EXPECT_EQ(g_settings.language, kLanguageEnglish);
  EXPECT_TRUE(settings_changed());
  EXPECT_TRUE(ui_is_visible(g_app.main_window));
  EXPECT_FALSE(ui_is_visible(g_app.options));
}

TEST_F(AppWindows, AFailedRestartKeepsThisInstanceAndSaysWhy) {
  g_start_result = false;
  open_options();
  ui_click(options(kLangDe));
  ui_click(options(kOk));
  ASSERT_EQ(g_started.size(), 1u);
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find(u"Error when accessing file"), std::u16string::npos);
  EXPECT_TRUE(ui_is_visible(g_app.main_window));
  EXPECT_TRUE(ui_is_visible(g_app.options));
}

TEST_F(AppWindows, AboutShowsProductVersionBuildDateAndMaker) {
  const std::u16string date(build_date_text());
  ASSERT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                  .match(ui_detail::to_qstring(date))
                  .hasMatch());
  EXPECT_EQ(ui_title(g_app.about), u"About Numerion");
  QStringList texts;
  for (QLabel* l : w_of(g_app.about)->findChildren<QLabel*>()) texts << l->text();
  const QString all = texts.join("|");
  EXPECT_TRUE(all.contains("Numerion 3.8"));
  EXPECT_TRUE(all.contains("Creation date: " + ui_detail::to_qstring(date.substr(0, 10))));
  EXPECT_TRUE(all.contains(QString::fromUtf16(u"\u00a9 ") +
                           ui_detail::to_qstring(date.substr(0, 4)) + " by Numerion contributors"));
  // The "Info ..." item shows it modally; "OK" ends the run.
  bool was_modal = false;
  QTimer::singleShot(20, [&]() {
    was_modal = ui_is_visible(g_app.about) && !ui_is_enabled(g_app.main_window);
    ui_click(ui_control(g_app.about, 17));
  });
  ui_choose_menu_item(g_app.main_window, kMenuInfo);
  EXPECT_TRUE(was_modal);
  EXPECT_FALSE(ui_is_visible(g_app.about));
  EXPECT_TRUE(ui_is_enabled(g_app.main_window));
}

TEST_F(AppWindows, WelcomeHintShowsAboutOnlyOnTheFirstStart) {
  g_settings.show_welcome_hint = true;
  int shown = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&]() {
    if (ui_is_visible(g_app.about)) {
      ++shown;
      ui_hide_window(g_app.about);
    }
  });
  timer.start(10);
  show_welcome_hint();
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(g_settings.show_welcome_hint);
  EXPECT_TRUE(settings_changed());
  show_welcome_hint();  // the next start
  QTest::qWait(30);
  EXPECT_EQ(shown, 1);
}

TEST_F(AppWindows, HelpPageNamesAndAMissingPage) {
  EXPECT_EQ(help_page_path("/opt/n/HtmlBrowserHelpFiles", kLanguageEnglish),
            "/opt/n/HtmlBrowserHelpFiles/Numerion/overview_en.html");
  EXPECT_EQ(help_page_path("/x", kLanguageGerman).filename(), "overview_de.html");
  EXPECT_EQ(help_page_path("/x", 0).filename(), "overview_??.html");
  EXPECT_EQ(build_help_folder("/opt/numerion/bin/numerion"),
            "/opt/numerion/bin/HtmlBrowserHelpFiles");

  g_app.help_folder = g_config / "nothing here";
  ASSERT_TRUE(ui_choose_menu_item(g_app.main_window, kMenuShowHelp));
  ASSERT_EQ(g_messages.size(), 1u);
  const std::u16string page = (g_config / "nothing here/Numerion/overview_en.html").u16string();
  EXPECT_EQ(g_messages[0], u"The file \"" + page + u"\" was not found!");
  EXPECT_TRUE(g_opened.empty());

  // A folder is not a page.
  std::filesystem::create_directories(g_config / "nothing here/Numerion/overview_en.html");
  show_help();
  EXPECT_EQ(g_messages.size(), 2u);
  EXPECT_TRUE(g_opened.empty());
}

// Installed to P/bin, the program finds its pages in P/share/numerion; pages beside it win.
TEST_F(AppWindows, HelpFolderOfAnInstalledProgram) {
  const std::filesystem::path prefix = g_config / "prefix";
  const std::filesystem::path shared = prefix / "share/numerion/HtmlBrowserHelpFiles";
  std::filesystem::create_directories(shared / "Numerion");
  std::filesystem::create_directories(prefix / "bin");
  EXPECT_EQ(build_help_folder(prefix / "bin/numerion"), shared);
  std::filesystem::create_directories(prefix / "bin/HtmlBrowserHelpFiles");
  EXPECT_EQ(build_help_folder(prefix / "bin/numerion"), prefix / "bin/HtmlBrowserHelpFiles");
}

TEST_F(AppWindows, HelpOpensInAFolderWithSpacesAndRefusesOverlongAddresses) {
  const std::filesystem::path folder = g_config / "with space" / "HtmlBrowserHelpFiles";
  std::filesystem::create_directories(folder / "Numerion");
  std::ofstream(folder / "Numerion" / "overview_en.html") << "<html></html>";
  g_app.help_folder = folder;
  show_help();
  EXPECT_TRUE(g_messages.empty());
  ASSERT_EQ(g_opened.size(), 1u);
  EXPECT_EQ(g_opened[0],
            u"file://" + (folder / "Numerion/overview_en.html")
                             .u16string()
                             .replace(g_config.u16string().size(), 11, u"/with%20space"));
  show_help(u"contact");
  EXPECT_EQ(g_opened.back().substr(g_opened.back().size() - 8), u"#contact");

  std::filesystem::path deep = g_config;
  for (int i = 0; i < 30; ++i) deep /= "abcdefghij";
  g_app.help_folder = deep;
  show_help();
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0], msg(141));
}

TEST_F(AppWindows, TheBuiltHelpPagesLieBesideTheProgram) {
  // The build installs both pages beside the test programs, which share the program's folder.
  const std::filesystem::path folder = build_help_folder(platform_module_path());
  for (int language : {kLanguageEnglish, kLanguageGerman}) {
    const auto page = help_page_path(folder, language);
    ASSERT_TRUE(std::filesystem::is_regular_file(page)) << page;
    std::ifstream in(page);
    const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(html.find("id=\"contact\""), std::string::npos);
    EXPECT_NE(html.find("id=\"donations\""), std::string::npos);
    EXPECT_GT(html.size(), 8000u);
  }
}

}  // namespace
