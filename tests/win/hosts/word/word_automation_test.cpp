// ProgID matching and the precondition of the Word steps; the steps themselves are exercised against
// the Word stand-in by the end-to-end tests.
#include "hosts/word/word_automation.h"

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace cx {
namespace {

TEST(SameProgId, IgnoresTheCaseOfAToZOnly) {
    EXPECT_TRUE(SameProgId(L"CVWordAddin2.WordAddIn2", L"CVWordAddin2.WordAddIn2"));
    EXPECT_TRUE(SameProgId(L"CVWordAddin2.WordAddIn2", L"cvwordaddin2.WORDADDIN2"));
    EXPECT_TRUE(SameProgId(L"", L""));
    // Letters beyond A to Z keep their case, even where the code page has both forms.
    EXPECT_FALSE(SameProgId(L"Add\u00CDn", L"Add\u00EDn"));
    EXPECT_FALSE(SameProgId(L"AddIn", L"Add\u00CDn"));
    // Same length after conversion is required.
    EXPECT_FALSE(SameProgId(L"CVWordAddin2.WordAddIn2", L"CVWordAddin2.WordAddIn2 "));
    EXPECT_FALSE(SameProgId(L"CVWordAddin2.WordAddIn", L"CVWordAddin2.WordAddIn2"));
}

TEST(SameProgId, ComparesTheCodePageForms) {
    // Characters the code page lacks all become its default character, so they no longer differ.
    if (::GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
    EXPECT_TRUE(SameProgId(L"Add\u4E2D", L"Add\u0416"));
}

TEST(SetComAddinConnected, NeedsAWordReference) {
    try {
        SetComAddinConnected(nullptr, L"CVWordAddin2.WordAddIn2", true);
        FAIL() << "no exception";
    } catch (const EAssertionFailed& error) {
        EXPECT_EQ(error.Message(), L"Assertion failure (CVAddin\\Word\\OleUtilsImpl, line 488)");
    }
}

}  // namespace
}  // namespace cx
