// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The messages follow the user's language: the same refused part file is
// reported in English and, under a Japanese locale, in Japanese, from the
// catalogue the build wrote. The Japanese locale is built into the test's
// own folder (localedef), so the machine needs none installed.
#include "shell/Translations.h"
#include "tests/program/commands_support.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <unistd.h>

namespace velmia::test {
namespace {

namespace fs = std::filesystem;

// The environment and the C library's locale for one test, put back after.
class Language {
public:
    Language(const char* lang, const fs::path& locales)
    {
        for (const char* name : kNames)
            if (const char* v = std::getenv(name))
                saved_[Index(name)] = v;
        ::unsetenv("LC_ALL");
        ::unsetenv("LC_MESSAGES");
        ::unsetenv("LANGUAGE");
        ::setenv("LANG", lang, 1);
        ::setenv("LOCPATH", locales.c_str(), 1);
        velmia::shell::StartTranslations(nullptr);
    }
    ~Language()
    {
        for (const char* name : kNames) {
            if (const auto& v = saved_[Index(name)])
                ::setenv(name, v->c_str(), 1);
            else
                ::unsetenv(name);
        }
        std::setlocale(LC_ALL, "C");
    }

private:
    static constexpr const char* kNames[] = {"LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE", "LOCPATH"};
    static size_t Index(const char* name)
    {
        for (size_t i = 0; i < std::size(kNames); ++i)
            if (std::string(kNames[i]) == name)
                return i;
        return 0;
    }
    std::optional<std::string> saved_[std::size(kNames)];
};

struct LanguageRow {
    const char* lang;
    const char* filter;   // the costume dialog's filter starts so
    const char* message;  // the refusal says so
    const char* reason;   // and gives this reason
    const char* notThere; // a word of the other language
};

void PrintTo(const LanguageRow& row, std::ostream* os)
{
    *os << row.lang;
}

const LanguageRow kLanguages[] = {
    {"C", "costume files|", "could not be loaded", "not a BMP file", "読み込めません"},
    {"ja_JP.UTF-8", "衣装ファイル|", "を読み込めませんでした", "BMP ファイルではありません", "could not"},
};

class MessagesLanguageTest : public CommandTest, public ::testing::WithParamInterface<LanguageRow> {
protected:
    // One Japanese locale for the whole run, in its own temporary folder.
    static void SetUpTestSuite()
    {
        locales_ = fs::temp_directory_path() / ("velmia-locales-" + std::to_string(::getpid()));
        fs::create_directories(locales_);
        const std::string command =
            "localedef -i ja_JP -f UTF-8 '" + (locales_ / "ja_JP.UTF-8").string() + "' >/dev/null 2>&1";
        built_ = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite()
    {
        std::error_code ec;
        fs::remove_all(locales_, ec);
    }
    static inline fs::path locales_;
    static inline bool built_ = false;
};

TEST_P(MessagesLanguageTest, RefusedPartFileIsReportedInTheUsersLanguage)
{
    const LanguageRow& row = GetParam();
    ASSERT_TRUE(built_) << "localedef could not build ja_JP.UTF-8 (Debian package locales)";
    Language language(row.lang, locales_);
    ASSERT_NE(std::setlocale(LC_MESSAGES, nullptr), nullptr);
    EXPECT_STREQ(std::setlocale(LC_MESSAGES, nullptr), row.lang);
    StartPortrait();
    std::ofstream(Folder() / "vlm_co_note.bmp") << "not a picture\n";
    host_.ScriptOpenDialog("vlm_co_note.bmp");
    Type('\\');
    ASSERT_EQ(host_.Dialogs().size(), 1u);
    EXPECT_EQ(host_.Dialogs()[0].Filter.rfind(row.filter, 0), 0u) << host_.Dialogs()[0].Filter;
    ASSERT_EQ(host_.MessageBoxes().size(), 1u);
    const std::string& text = host_.MessageBoxes()[0].Text;
    EXPECT_NE(text.find("vlm_co_note.bmp"), std::string::npos) << text;
    EXPECT_NE(text.find(row.message), std::string::npos) << text;
    EXPECT_NE(text.find(row.reason), std::string::npos) << text;
    EXPECT_EQ(text.find(row.notThere), std::string::npos) << text;
    EXPECT_FALSE(S().Busy);
}

INSTANTIATE_TEST_SUITE_P(Languages, MessagesLanguageTest, ::testing::ValuesIn(kLanguages), [](const auto& info) {
    return std::string(info.param.lang[0] == 'C' ? "English" : "Japanese");
});

} // namespace
} // namespace velmia::test
