#include "core/CLLang.h"
#include "core/FieldChecks.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

class FieldChecks : public ::testing::Test {
protected:
    FieldChecks() {
        m_app.WriteFile("config.ini", "[SYS CONFIG]\nText_Path=<APP_PATH>/text.ini\n");
        m_app.WriteFile("text.ini", "[5000]\n40=must be a text.\n41=must be a whole number in\n");
    }
    TempAppFolder m_app{TempAppFolder::Contents::Empty};
    CLLang m_lang;
};

TEST_F(FieldChecks, NumberRangeAcceptsZeroAndBounds) {
    struct Case {
        const char* value;
        bool accepted;
    };
    for (const Case& c : {Case{"0", true}, Case{"5", true}, Case{"1000", true}, Case{"4", false},
                          Case{"1001", false}, Case{"abc", false}, Case{"", false}, Case{"12.5", false},
                          Case{"-3", false}, Case{"99999999999999999999", false}}) {
        const auto refusal = CheckNumberField(m_lang, c.value, 1000, "Page size", 5);
        EXPECT_EQ(!refusal.has_value(), c.accepted) << "value '" << c.value << "'";
        if (refusal) {
            EXPECT_EQ(*refusal, "(Page size) must be a whole number in 5..1000");
        }
    }
}

TEST_F(FieldChecks, TextRefusesNumbersAndEmpty) {
    struct Case {
        const char* value;
        bool allowEmpty;
        bool accepted;
    };
    for (const Case& c : {Case{"12", false, false}, Case{"3.5", false, false}, Case{"", false, false},
                          Case{"", true, true}, Case{"/home/user/data/", false, true},
                          Case{"C:\\data\\", false, true}, Case{"HARVEXA_KEY", false, true},
                          Case{"inf", false, true}, Case{"1e5", false, false}}) {
        const auto refusal = CheckTextField(m_lang, c.value, c.allowEmpty, "Export folder");
        EXPECT_EQ(!refusal.has_value(), c.accepted) << "value '" << c.value << "'";
        if (refusal) {
            EXPECT_EQ(*refusal, "(Export folder) must be a text.");
        }
    }
}

} // namespace
} // namespace harvexa
