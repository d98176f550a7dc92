// The interface languages and the one way a text group is kept: a table with one entry per
// language, looked up by the language. Adding a language means a value here and an entry in
// every table.
#pragma once
#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

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

// One text of a group (a struct of QString fields) in every language: the group is filled from a
// table of these, one row per text.
template <typename Group>
struct TextEntry {
    QString Group::*field;
    PerLanguage<QString> text;
};

template <typename Group, typename Entries>
void fillTexts(Group& group, const Entries& entries, Language language) {
    for (const TextEntry<Group>& entry : entries) group.*entry.field = entry.text[language];
}

} // namespace texts
