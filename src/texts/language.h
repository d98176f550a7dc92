// The interface languages and the one way a text group is kept: a table with one entry per
// language, looked up by the language. Adding a language means a value here and an entry in
// every table.
#pragma once
#include <QString>

#include <array>
#include <cstddef>
#include <optional>

namespace texts {

enum class Language { NL, UK, DE };

// Every language, in the order of the tables' entries.
inline constexpr std::array<Language, 3> kLanguages{Language::NL, Language::UK, Language::DE};

// "NL", "UK", "DE": the code kept in the settings file and named on the command line.
QString codeOf(Language language);
// The language of a code, compared exactly (case included); nothing for any other text.
std::optional<Language> languageOfCode(const QString& code);
// The language of a code; English for any other text.
Language languageOrEnglish(const QString& code);

// One text group: an entry per language, in the order of kLanguages.
template <typename T>
struct PerLanguage {
    std::array<T, kLanguages.size()> entries;
    const T& operator[](Language language) const { return entries[std::size_t(language)]; }
    const T& operator[](const QString& code) const { return (*this)[languageOrEnglish(code)]; }
};

} // namespace texts
