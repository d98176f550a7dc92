// The messages beyond the interface slots: a text of its own in each language, English for any
// other code, and the file names where the message needs them.
#include "texts/messages.h"

#include <gtest/gtest.h>

namespace {

TEST(Messages, EachLanguageHasItsOwnText) {
    for (const QString& code : {QString("NL"), QString("DE")}) {
        EXPECT_NE(texts::noVerseRowMessage(code), texts::noVerseRowMessage("UK")) << code.toStdString();
        EXPECT_NE(texts::strandedDatabaseMessage(code, "p", "q"), texts::strandedDatabaseMessage("UK", "p", "q"))
            << code.toStdString();
    }
    EXPECT_EQ(texts::noVerseRowMessage("xx"), texts::noVerseRowMessage("UK"));
    EXPECT_TRUE(texts::noVerseRowMessage("DE").contains(QString::fromUtf8("Änderung")));
}

TEST(Messages, StrandedDatabaseNamesBothFilesInEveryLanguage) {
    for (const char* code : {"NL", "UK", "DE", ""}) {
        const QString text = texts::strandedDatabaseMessage(code, "c:\\a\\B.mdb", "c:\\a\\B.mdbx");
        EXPECT_TRUE(text.contains("c:\\a\\B.mdb")) << code;
        EXPECT_TRUE(text.contains("c:\\a\\B.mdbx")) << code;
    }
}

} // namespace
