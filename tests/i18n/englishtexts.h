#pragma once

#include <gtest/gtest.h>

#include <QSettings>
#include <cstdlib>

#include "i18n/uistrings.h"

namespace zark::test {

// The programme tests read English titles: the first of them stores "LangID" 1033 before the
// process loads its texts. (Tests of other languages run in processes of their own.)
class EnglishTexts : public ::testing::Test {
protected:
    void SetUp() override {
        if (!UiStringsLoaded()) QSettings("VEXA", "Zark").setValue("LangID", "1033");
        LoadUiStrings();
        ASSERT_EQ(ActiveUiLanguage(), UiLanguage::English);
        unsetenv("ZARK_TEST");
    }
    void TearDown() override { unsetenv("ZARK_TEST"); }
};

}  // namespace zark::test
