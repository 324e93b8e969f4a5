// The current text table and the choice of language.
#include "app/messages.h"

#include "app/platform.h"

namespace {

constexpr const char16_t* kUnset = u"???";

const char16_t* g_texts[kMessageCount] = {};
int g_language = 0;

struct TextsInit {
  TextsInit() { reset_texts(); }
} g_texts_init;

}  // namespace

// Defined in messages_en.cpp and messages_de.cpp.
const char16_t* english_text(MessageId id);
const char16_t* german_text(MessageId id);

const char16_t* msg(MessageId id) {
  if (id < 0 || id >= kMessageCount) return kUnset;
  return g_texts[id];
}

void reset_texts() {
  for (auto& text : g_texts) text = kUnset;
  g_language = 0;
}

void load_texts(int language) {
  g_language = language == kLanguageGerman ? kLanguageGerman : kLanguageEnglish;
  for (MessageId id = 0; id < kMessageCount; ++id) g_texts[id] = language_text(g_language, id);
}

int current_language() {
  return g_language;
}

int resolve_language(int setting) {
  if (setting == kLanguageEnglish || setting == kLanguageGerman) return setting;
  return platform_user_language_is_german() ? kLanguageGerman : kLanguageEnglish;
}

const char16_t* language_text(int language, MessageId id) {
  if (id < 0 || id >= kMessageCount) return nullptr;
  return language == kLanguageGerman ? german_text(id) : english_text(id);
}
