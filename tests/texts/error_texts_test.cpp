// The errors a user can meet, worded in each interface language from their facts; English
// technical detail after them where the wording leaves it out; kantelo-db's --lang.
#include "texts/error_texts.h"

#include "jet/error.h"
#include "jet/in_use.h"
#include "support/bible_fixture.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using texts::Language;

jet::ErrorFacts facts(std::string path) {
    jet::ErrorFacts f;
    f.path = std::move(path);
    return f;
}

TEST(ErrorMessages, EachKindIsWordedWithItsFactsInEveryLanguage) {
    jet::ErrorFacts inUse = facts("K.mdb");
    inUse.holder = "computer STUDIO1, user Admin";
    const jet::InUseError held(jet::ErrorKind::InUse, inUse,
                               "K.mdb: the file is open in another program (computer STUDIO1, user Admin)");
    const jet::PageMissingError cut("K.mdb", 40, 12);
    jet::ErrorFacts column = facts("K.mdb");
    column.table = "bible";
    column.column = "Verse";
    const jet::Error noColumn(jet::ErrorKind::NoColumn, column, "ADOQuery1: field 'Verse' not found.");
    const jet::Error full(jet::ErrorKind::DiskFull, facts("K.mdb"), "K.mdb: cannot write (No space left on device)");
    const jet::Error other("K.mdb: the row at page 3, slot 1 of table bible no longer exists");
    const struct {
        const jet::Error& error;
        Language language;
        const char* expected;
    } cases[] = {
        // A holder's facts are all in the sentence: the engine's text is not repeated.
        {held, Language::UK, "K.mdb: another program has this bible open (computer STUDIO1, user Admin). Close "
                             "the bible there before Kantelo can save changes to it."},
        {cut, Language::UK, "K.mdb is damaged or incomplete: page 40 lies past the end of the file (12 pages)"},
        {held, Language::NL, "K.mdb: een ander programma heeft deze bijbel geopend (computer STUDIO1, user Admin). "
                             "Sluit de bijbel daar voordat Kantelo er wijzigingen in kan opslaan."},
        {cut, Language::DE, "K.mdb ist beschädigt oder unvollständig: Seite 40 liegt hinter dem Ende der Datei (12 "
                            "Seiten)\n(K.mdb is damaged or incomplete: page 40 lies past the end of the file (12 "
                            "pages))"},
        {noColumn, Language::UK, "Table 'bible' has no column 'Verse'.\n(ADOQuery1: field 'Verse' not found.)"},
        {full, Language::NL, "De schijf is vol: K.mdb kon niet worden geschreven.\n(K.mdb: cannot write (No space "
                             "left on device))"},
        // An error of no known kind is its own text in every language.
        {other, Language::DE, "K.mdb: the row at page 3, slot 1 of table bible no longer exists"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(texts::errorMessage(c.error, c.language).toStdString(), c.expected);
    }
}

TEST(KanteloDbLang, WordsErrorsInTheLanguageGivenBeforeTheCommand) {
    test_support::TempDir dir;
    const auto tool = test_support::kanteloDbTool().string();
    const std::string missing = (dir / "missing.mdb").string();
    const auto file = test_support::writeBible(dir / "b.mdb", test_support::simpleBible(1, 1, 2));
    std::ofstream(dir / "cut.mdb", std::ios::binary) << std::string(100, 'x');

    auto result = test_support::run({tool, "--lang", "DE", "tables", missing});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Die Datei '" + missing + "' wurde nicht gefunden."), std::string::npos) << result.err;

    result = test_support::run({tool, "--lang", "NL", "export", (dir / "cut.mdb").string(), "bible"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("is geen Jet 4-database"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("the file is too short"), std::string::npos) << "English detail follows: " << result.err;

    result = test_support::run({tool, "--lang", "UK", "schema", file.string(), "verses"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("has no table 'verses'"), std::string::npos) << result.err;

    // The option also sets the markers of apply; a command reads the same without it.
    result = test_support::run({tool, "--lang", "NL", "apply", file.string(), "force"});
    EXPECT_EQ(result.exitCode, 0) << result.err;

    result = test_support::run({tool, "--lang", "FR", "tables", file.string()});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("--lang"), std::string::npos) << result.err;
}

} // namespace
