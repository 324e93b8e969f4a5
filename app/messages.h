// The texts the user sees, looked up by MessageId in the table of the current language. The
// table is filled once at start-up, after the settings are read and before any window exists;
// afterwards it is only read, from any thread.
#pragma once

#include <cstdint>

using MessageId = int;
inline constexpr int kMessageCount = 194;

// Language values of the settings.
inline constexpr int kLanguageAutomatic = 1;
inline constexpr int kLanguageEnglish = 2;
inline constexpr int kLanguageGerman = 3;

// The text of `id` in the current language: "\r\n" marks line breaks and "&&" an ampersand in
// labels. "???" before the texts are loaded and for an id outside the table.
const char16_t* msg(MessageId id);

// Sets every entry to "???".
void reset_texts();
// Fills the table in German for kLanguageGerman, otherwise in English.
void load_texts(int language);
// The language the texts are loaded in: kLanguageEnglish or kLanguageGerman; 0 before that.
int current_language();

// Automatic becomes German when the user's own language is German, English otherwise; the
// fixed choices stay; an unknown value counts as automatic.
int resolve_language(int setting);

// The entry of one language's table, whatever is loaded; nullptr for an id outside the table.
const char16_t* language_text(int language, MessageId id);
