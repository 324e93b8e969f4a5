#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "core/decfloat.h"
#include "tests/app/app_test_util.h"

namespace {

// The placeholders of a text in order: "%s", "%d", "%c" (and "%%" as itself).
std::vector<std::u16string> placeholders(std::u16string_view text) {
  std::vector<std::u16string> out;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == u'%') out.push_back(std::u16string(text.substr(i++, 2)));
  }
  return out;
}

std::size_t count(std::u16string_view text, std::u16string_view piece) {
  std::size_t n = 0;
  for (std::size_t p = text.find(piece); p != text.npos; p = text.find(piece, p + piece.size()))
    ++n;
  return n;
}

struct ShownMessage {
  std::u16string caption;
  std::u16string text;
  int icon = -1;
};
std::vector<ShownMessage> g_shown;
void capture(const char16_t* caption, const char16_t* text, int icon) {
  g_shown.push_back({caption, text, icon});
}

class AppErrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    arith_reset();
    attach_formula_error(nullptr);
    clear_app_error();
    load_texts(kLanguageEnglish);
    g_shown.clear();
    previous_ = platform_set_message_hook(capture);
  }
  void TearDown() override {
    platform_set_message_hook(previous_);
    clear_app_error();
  }
  // Shows the pending error and returns the one message text it produced.
  std::string shown() {
    g_shown.clear();
    EXPECT_EQ(show_app_error(), kMessageResultOk);
    EXPECT_EQ(g_shown.size(), 1u);
    return g_shown.empty() ? std::string() : u8(g_shown.back().text);
  }
  MessageHook previous_ = nullptr;
};

}  // namespace

// --- the text tables -----------------------------------------------------------------------------

TEST(Texts, BothLanguagesHaveEveryTextWithTheSamePlaceholders) {
  for (MessageId id = 0; id < kMessageCount; ++id) {
    const char16_t* en = language_text(kLanguageEnglish, id);
    const char16_t* de = language_text(kLanguageGerman, id);
    ASSERT_NE(en, nullptr) << id;
    ASSERT_NE(de, nullptr) << id;
    EXPECT_NE(std::u16string_view(en), u"") << id;
    EXPECT_NE(std::u16string_view(de), u"") << id;
    EXPECT_EQ(placeholders(en), placeholders(de)) << id << ": " << u8(en) << " | " << u8(de);
    // Labels with an ampersand, line breaks and the ellipsis-free form must carry over too.
    EXPECT_EQ(count(en, u"&&"), count(de, u"&&")) << id;
    EXPECT_EQ(count(en, u"\r\n"), count(de, u"\r\n")) << id;
  }
  EXPECT_EQ(language_text(kLanguageEnglish, kMessageCount), nullptr);
  EXPECT_EQ(language_text(kLanguageGerman, -1), nullptr);
}

// Slips users saw in the texts; none may come back in either table.
TEST(Texts, NoKnownSpellingSlips) {
  const char16_t* english_slips[] = {
      u"to many", u"to complicated", u"mut not", u"could not evaluated", u" und ", u"The Variable"};
  const char16_t* german_slips[] = {u"ist nicht konvergiert", u" and ", u" the "};
  for (MessageId id = 0; id < kMessageCount; ++id) {
    const std::u16string_view en = language_text(kLanguageEnglish, id);
    const std::u16string_view de = language_text(kLanguageGerman, id);
    for (const char16_t* slip : english_slips) {
      EXPECT_EQ(en.find(slip), en.npos) << id << ": " << u8(en);
    }
    for (const char16_t* slip : german_slips) {
      EXPECT_EQ(de.find(slip), de.npos) << id << ": " << u8(de);
    }
  }
  // The corrected texts, word for word.
  const std::pair<MessageId, const char*> corrected[] = {
      {118, "The variable \"%s\" cannot be evaluated for the current number type!"},
      {128, "Coefficient \"%s\" has too many characters!"},
      {131, "The number \"%s\" has too many prime factors or divisors!"},
      {138, "The number of equation variables has to be between 2 and %s!"},
      {143, "Decimal and thousands separator must not be the same and they must not be undefined."},
      {148, "Formula is too complicated because too many parentheses are nested!"},
      {156, "The variable at character position %d could not be evaluated!"},
  };
  for (const auto& [id, text] : corrected) {
    EXPECT_EQ(u8(language_text(kLanguageEnglish, id)), text) << id;
  }
  EXPECT_EQ(u8(language_text(kLanguageGerman, 123)),
            "Das Iterationsverfahren hat nicht konvergiert!");
}

TEST(Texts, LoadingAndLookup) {
  reset_texts();
  EXPECT_EQ(current_language(), 0);
  EXPECT_EQ(u8(msg(0)), "???");
  EXPECT_EQ(u8(msg(175)), "???");
  load_texts(kLanguageGerman);
  EXPECT_EQ(current_language(), kLanguageGerman);
  EXPECT_EQ(u8(msg(2)), "Schließen");
  EXPECT_EQ(u8(msg(23)), "Ausg.\r\nBasis");
  EXPECT_EQ(u8(msg(100)), "Erg. → %s");
  EXPECT_EQ(u8(msg(147)), "Überlauf bei Zeichenposition %d!");
  load_texts(kLanguageEnglish);
  EXPECT_EQ(u8(msg(12)), "Prime Factors && Divisors");
  EXPECT_EQ(u8(msg(143)),
            "Decimal and thousands separator must not be the same and they must not be undefined.");
  load_texts(kLanguageAutomatic);  // only 3 means German
  EXPECT_EQ(current_language(), kLanguageEnglish);
  EXPECT_EQ(u8(msg(-1)), "???");
  EXPECT_EQ(u8(msg(kMessageCount)), "???");
}

TEST(Texts, AutomaticLanguageFollowsTheUsersLanguage) {
  struct Case {
    const char* all;
    const char* messages;
    const char* lang;
    int expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, "de_DE.UTF-8", kLanguageGerman},
      {nullptr, nullptr, "de_AT.UTF-8", kLanguageGerman},  // Austrian German
      {nullptr, nullptr, "de_CH", kLanguageGerman},        // Swiss German
      {nullptr, nullptr, "de", kLanguageGerman},
      {nullptr, nullptr, "de@euro", kLanguageGerman},
      {nullptr, nullptr, "en_US.UTF-8", kLanguageEnglish},
      {nullptr, nullptr, "fr_CH.UTF-8", kLanguageEnglish},
      {nullptr, nullptr, "dev_XX", kLanguageEnglish},  // another language starting with "de"
      {nullptr, nullptr, nullptr, kLanguageEnglish},
      {"en_GB.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", kLanguageEnglish},  // LC_ALL first
      {"", "de_DE.UTF-8", "en_US.UTF-8", kLanguageGerman},              // empty counts as unset
      {nullptr, "C", "de_DE.UTF-8", kLanguageEnglish},
  };
  for (const Case& c : cases) {
    ScopedEnv all("LC_ALL", c.all);
    ScopedEnv messages("LC_MESSAGES", c.messages);
    ScopedEnv lang("LANG", c.lang);
    EXPECT_EQ(resolve_language(kLanguageAutomatic), c.expected) << (c.lang ? c.lang : "-");
    EXPECT_EQ(resolve_language(42), c.expected);
    EXPECT_EQ(resolve_language(kLanguageEnglish), kLanguageEnglish);
    EXPECT_EQ(resolve_language(kLanguageGerman), kLanguageGerman);
  }
}

// --- formatter -----------------------------------------------------------------------------------

TEST(Format, Placeholders) {
  char16_t buffer[200];
  TextBuilder b{0, 199, buffer};
  format_text(b, u"%s|%d|%c|%%|%x|%d|%d", u"abc", 42, u'\u00e4', -7, INT32_MIN);
  builder_terminate(b);
  EXPECT_EQ(u8(buffer), "abc|42|ä|%|?|-7|-2147483648");
  // Missing arguments, arguments of the wrong kind, a null string and a final "%" all give "?";
  // a mismatch does not shift the later arguments.
  b = TextBuilder{0, 199, buffer};
  format_text(b, u"[%s][%d][%s][%c]%", 5, u"x", static_cast<const char16_t*>(nullptr));
  builder_terminate(b);
  EXPECT_EQ(u8(buffer), "[?][?][?][?]?");
  b = TextBuilder{0, 199, buffer};
  format_text(b, u"%d %s", 1, std::u16string_view(u"view\0part", 9));
  EXPECT_EQ(b.length, 11);
  EXPECT_EQ(buffer[10], u't');
}

TEST(Format, BuilderCountsWhatDoesNotFit) {
  char16_t buffer[6];
  TextBuilder b{0, 5, buffer};
  format_text(b, u"%s-%d", u"abcd", 12345);
  EXPECT_EQ(b.length, 10);
  EXPECT_TRUE(builder_overflowed(b));
  builder_mark_cut(b);
  builder_terminate(b);
  EXPECT_EQ(u8(buffer), "abcd…");
}

TEST(Format, BoundedTextIsCutAndReported) {
  arith_reset();
  clear_app_error();
  char16_t buffer[8];
  EXPECT_EQ(format_bounded(buffer, 8, u"n=%d", 1234), 6);
  EXPECT_EQ(u8(buffer), "n=1234");
  EXPECT_EQ(app_error_code(), 0u);
  EXPECT_EQ(format_bounded(buffer, 8, u"n=%d", 12345), 7);  // exactly full
  EXPECT_EQ(app_error_code(), 0u);
  EXPECT_EQ(format_bounded(buffer, 8, u"n=%d", 123456), 7);
  EXPECT_EQ(u8(buffer), "n=1234…");
  EXPECT_EQ(app_error_code(), kAppErrorBufferOverflow);
  // A surrogate pair is never split: its first half goes with the cut.
  clear_app_error();
  set_app_error(kAppErrorInternal);  // an earlier error keeps its place
  EXPECT_EQ(format_bounded(buffer, 8, u"abcde\U0001D400xyz"), 6);
  EXPECT_EQ(u8(buffer), "abcde…");
  EXPECT_EQ(app_error_code(), kAppErrorInternal);
  clear_app_error();
  EXPECT_EQ(format_bounded(buffer, 1, u"a"), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(format_bounded(nullptr, 0, u""), 0);
  clear_app_error();
}

// --- the error record ----------------------------------------------------------------------------

TEST_F(AppErrorTest, FirstErrorWinsAndParametersAreBounded) {
  set_app_error(kAppErrorFileNotFound, u"first.csv");
  set_app_error(kAppErrorInvalidInput, u"second");
  EXPECT_EQ(app_error_code(), kAppErrorFileNotFound);
  EXPECT_EQ(u8(g_app_error.param1), "first.csv");
  EXPECT_EQ(u8(g_app_error.param2), "?");  // absent
  EXPECT_EQ(shown(), "The file \"first.csv\" was not found!");
  EXPECT_EQ(app_error_code(), 0u);

  const std::u16string p300(300, u'p');
  const std::u16string p260(260, u'q');
  set_app_error(kAppErrorInvalidInput, p300.c_str(), p260.c_str());
  const std::u16string_view cut(g_app_error.param1);
  EXPECT_EQ(cut.size(), 260u);
  EXPECT_EQ(cut.substr(0, 259), std::u16string(259, u'p'));
  EXPECT_EQ(cut[259], kEllipsis);
  EXPECT_EQ(std::u16string_view(g_app_error.param2), p260);  // exactly 260 stays whole
  EXPECT_EQ(shown(), "Invalid input \"" + std::string(259, 'p') + "…\" !");

  // A pair of surrogates on the cut is dropped whole.
  std::u16string pair(258, u'a');
  pair += u"\U0001D400zz";
  set_app_error(kAppErrorInvalidInput, pair.c_str());
  EXPECT_EQ(std::u16string_view(g_app_error.param1), std::u16string(258, u'a') + kEllipsis);
  clear_app_error();
}

TEST_F(AppErrorTest, MessagesOfTheCodes) {
  set_app_error(4242, u"ignored");
  EXPECT_EQ(shown(), "Unknown error 4242 occurred!");
  set_app_error(0xFFFFFFFFu);
  EXPECT_EQ(shown(), "Unknown error 4294967295 occurred!");
  set_app_error(3303, u"7", u"20");
  EXPECT_EQ(shown(), "The polynomial \"7\" must be an integer number from 0 to 20!");
  set_app_error(kAppErrorDivisionByZero);
  EXPECT_EQ(shown(), "Division by 0!");
  EXPECT_EQ(g_shown.back().icon, kMessageIconError);
  EXPECT_EQ(u8(g_shown.back().caption), "Error");
  load_texts(kLanguageGerman);
  set_app_error(3303, u"7", u"20");
  EXPECT_EQ(shown(), "Das Polynom \"7\" muss eine ganze Zahl von 0 bis 20 sein!");
  EXPECT_EQ(u8(g_shown.back().caption), "Fehler");
  // Every code with a message, and nothing else, maps to one.
  const std::pair<std::uint32_t, MessageId> some[] = {
      {0, 109},    {1000, 110}, {1007, 116}, {1100, 143}, {1300, 121}, {2006, 128},
      {3101, 131}, {3402, 138}, {9002, 141}, {9003, -1},  {1004, -1},  {4242, -1}};
  for (auto [code, id] : some) EXPECT_EQ(app_error_message(code), id) << code;
}

TEST_F(AppErrorTest, FormulaErrorIsAppended) {
  FormulaErrorView* formula = attached_formula_error();
  // "1/0": overflow at the position behind the formula.
  set_app_error(kAppErrorFormula);
  *formula = {10203, 4};
  EXPECT_EQ(shown(), "Error in mathematical formula. Overflow at character position 4!");
  EXPECT_EQ(formula->code, 0u);
  set_app_error(kAppErrorFormula);
  *formula = {10205, 0};
  EXPECT_EQ(shown(), "Error in mathematical formula. Internal formula error 10205 occurred!");
  set_app_error(kAppErrorFormula);
  *formula = {10210, 0};
  EXPECT_EQ(shown(), "Error in mathematical formula. Calculation was aborted by the user.");
  // A message that does not end in "!" keeps its end; the formula text follows a space.
  set_app_error(kAppErrorSeparators);
  *formula = {77, 3};
  EXPECT_EQ(shown(),
            "Decimal and thousands separator must not be the same and they must not be undefined. "
            "Internal formula error 77 occurred!");
  // The engine's own record, once attached, is the one read and cleared.
  FormulaErrorView engine{10211, 12};
  attach_formula_error(&engine);
  set_app_error(kAppErrorFormula);
  load_texts(kLanguageGerman);
  EXPECT_EQ(shown(),
            "Fehler in der mathematischen Formel. Die Variable bei Zeichenposition 12 wurde in der "
            "Variablentabelle nicht gefunden!");
  EXPECT_EQ(engine.code, 0u);
  attach_formula_error(nullptr);

  for (std::uint32_t code = 10200; code <= 10212; ++code) {
    EXPECT_EQ(formula_error_message(code), code == 10205 ? 149 : 144 + int(code - 10200));
  }
  EXPECT_EQ(formula_error_message(10213), 149);
  EXPECT_EQ(formula_error_message(0), 149);
}

TEST_F(AppErrorTest, ArithmeticErrorNamesItsCause) {
  FormulaErrorView* formula = attached_formula_error();
  const char* const english[][2] = {
      {"200", "Overflow at character position 4!"},
      {"201", "Underflow at character position 4: a number got too close to zero!"},
      {"202", "Division by zero at character position 4!"},
      {"203", "Argument outside the domain of the function at character position 4!"},
      {"205", "Complex argument at character position 4: the function needs a real argument!"},
      {"0", "Overflow at character position 4!"},
      {"400", "Overflow at character position 4!"},
  };
  for (auto [cause, text] : english) {
    set_app_error(kAppErrorFormula);
    *formula = {10203, 4, static_cast<std::uint32_t>(std::stoi(cause))};
    EXPECT_EQ(shown(), std::string("Error in mathematical formula. ") + text) << cause;
  }
  // The cause belongs to 10203 only.
  set_app_error(kAppErrorFormula);
  *formula = {10200, 2, 202};
  EXPECT_EQ(shown(), "Error in mathematical formula. Syntax error at character position 2!");
  load_texts(kLanguageGerman);
  const char* const german[][2] = {
      {"200", "Überlauf bei Zeichenposition 9!"},
      {"201", "Unterlauf bei Zeichenposition 9: Der Betrag einer Zahl wurde zu klein!"},
      {"202", "Division durch null bei Zeichenposition 9!"},
      {"203", "Argument außerhalb des Definitionsbereichs der Funktion bei Zeichenposition 9!"},
      {"205",
       "Komplexes Argument bei Zeichenposition 9: Die Funktion benötigt ein reelles Argument!"},
  };
  for (auto [cause, text] : german) {
    set_app_error(kAppErrorFormula);
    *formula = {10203, 9, static_cast<std::uint32_t>(std::stoi(cause))};
    EXPECT_EQ(shown(), std::string("Fehler in der mathematischen Formel. ") + text) << cause;
  }
  load_texts(kLanguageEnglish);
}

TEST_F(AppErrorTest, StoppedOrNoErrorShowsNothingAndClearsTheRecords) {
  for (std::uint32_t code : {0u, kAppErrorStopped}) {
    set_app_error(code, u"x");
    attached_formula_error()->code = 10210;
    set_status(MathStatus::Cancelled);
    g_cancel_request.store(1);
    g_shown.clear();
    EXPECT_EQ(show_app_error(), static_cast<int>(code));
    EXPECT_TRUE(g_shown.empty());
    EXPECT_EQ(app_error_code(), 0u);
    EXPECT_EQ(attached_formula_error()->code, 0u);
    EXPECT_EQ(g_arith.status, 0u);
    // A stop request belongs to whoever owns the flag; reporting never clears it.
    EXPECT_EQ(g_cancel_request.load(), 1);
  }
  // Showing a real error clears the same records.
  set_app_error(kAppErrorOverflow);
  set_status(MathStatus::Overflow);
  EXPECT_EQ(shown(), "Overflow in mathematical calculation!");
  EXPECT_EQ(g_arith.status, 0u);
  EXPECT_EQ(g_cancel_request.load(), 1);
  g_cancel_request.store(0);
}

TEST_F(AppErrorTest, OverlongMessageEndsInEllipsis) {
  char16_t text[41];
  TextBuilder b{0, 40, text};
  const std::u16string name(30, u'n');
  build_app_error_text(b, 1203, name.c_str(), nullptr, {10212, 3});
  ASSERT_TRUE(builder_overflowed(b));
  builder_mark_cut(b);
  builder_terminate(b);
  EXPECT_EQ(u8(text), "The variable \"" + std::string(25, 'n') + "…");
  // A text that overflowed is not mistaken for one ending in "!".
  char16_t small[12];
  TextBuilder s{0, 11, small};
  build_app_error_text(s, 1002, nullptr, nullptr, {10200, 1});
  builder_terminate(s);
  EXPECT_EQ(u8(small), "Division by");
}

TEST_F(AppErrorTest, RacingRaisersStoreOneCompleteError) {
  // The stop request of the window thread races with a worker's error: exactly one wins, and
  // its parameters are the ones stored.
  for (int round = 0; round < 200; ++round) {
    clear_app_error();
    std::thread worker([] { set_app_error(kAppErrorInvalidInput, u"worker"); });
    set_app_error(kAppErrorStopped, u"window");
    worker.join();
    const std::uint32_t code = app_error_code();
    ASSERT_TRUE(code == kAppErrorStopped || code == kAppErrorInvalidInput);
    EXPECT_EQ(u8(g_app_error.param1), code == kAppErrorStopped ? "window" : "worker");
  }
}

TEST(PlatformMessage, DefaultWritesToStandardError) {
  const MessageHook previous = platform_set_message_hook(nullptr);
  ::testing::internal::CaptureStderr();
  platform_show_message(u"Fehler", u"Überlauf \U0001D400 \xD800!", kMessageIconError);
  const std::string err = ::testing::internal::GetCapturedStderr();
  platform_set_message_hook(previous);
  EXPECT_EQ(err, "Fehler: Überlauf \xF0\x9D\x90\x80 \xEF\xBF\xBD!\n");
}
