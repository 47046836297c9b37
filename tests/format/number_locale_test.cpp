// Number texts are the same whatever C locale the process runs under: a Qt application sets the
// C locale from the user's environment, where the decimal point may be a comma or a character
// of more than one byte.

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "format/failure.h"
#include "format/number_text.h"

namespace {

// Selects the locale for the whole C library: from the system when it has it, else built with
// localedef from the system's locale sources into a private folder read through LOCPATH (one
// folder per locale: the C library remembers a failed lookup in a folder).
bool SelectLocale(const char* source, const char* name) {
    ::unsetenv("LOCPATH");
    if (std::setlocale(LC_ALL, name)) return true;
    static std::vector<std::unique_ptr<QTemporaryDir>> built;
    const QTemporaryDir& folder = *built.emplace_back(std::make_unique<QTemporaryDir>());
    QProcess::execute(QStringLiteral("localedef"),
                      {QStringLiteral("-i"), QString::fromLatin1(source), QStringLiteral("-f"), QStringLiteral("UTF-8"),
                       folder.filePath(QString::fromLatin1(name))});
    ::setenv("LOCPATH", QFile::encodeName(folder.path()).constData(), 1);
    return std::setlocale(LC_ALL, name) != nullptr;
}

struct LocaleCase {
    const char* source;
    const char* name;
    const char* point;  // the locale's decimal point, UTF-8
};

void PrintTo(const LocaleCase& c, std::ostream* out) { *out << c.name; }

class NumberTextUnderLocale : public ::testing::TestWithParam<LocaleCase> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SelectLocale(GetParam().source, GetParam().name))
            << "the locale " << GetParam().name << " is neither installed nor buildable (localedef, package locales)";
        ASSERT_STREQ(std::localeconv()->decimal_point, GetParam().point);
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        ::unsetenv("LOCPATH");
    }
};

TEST_P(NumberTextUnderLocale, AlwaysUseAFullStop) {
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.1f", 2.5);
    ASSERT_EQ(std::string(printed), std::string("2") + GetParam().point + "5");  // the locale is in force

    const struct {
        long double value;
        const char* general;
        const char* pattern;
    } cases[] = {
        {35.68123f, "35.6812286376953", "35.68"},
        {0.1f, "0.100000001490116", ".10"},
        {2.675, "2.675", "2.67"},
        {-1.5e-7, "-1.5E-7", ".00"},
        {123456789012345678.0L, "1.23456789012346E17", "123456789012345678.00"},
        {1e300, "1E300", "1E300"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GeneralFormat(c.value).toStdString(), c.general) << c.general;
        EXPECT_EQ(PatternFormat(c.value).toStdString(), c.pattern) << c.general;
    }

    // Short texts, and long ones that go through the C library's conversion.
    EXPECT_EQ(ParseDecimal(QStringLiteral("35.68123")), 35.68123L);
    EXPECT_EQ(ParseDecimal(QStringLiteral("0.1234567890123456789012345")), 0.1234567890123456789012345L);
    EXPECT_EQ(ParseDecimal(QStringLiteral("2.5e-40")), 2.5e-40L);
    EXPECT_THROW(ParseDecimal(QStringLiteral("2,5")), Failure);
    EXPECT_THROW(ParseDecimal(QString::fromUtf8(std::string("2") + GetParam().point + "5")), Failure);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberTextUnderLocale,
                         ::testing::Values(LocaleCase{"de_DE", "de_DE.UTF-8", ","},
                                           LocaleCase{"ps_AF", "ps_AF.UTF-8", "\xd9\xab"}),
                         [](const auto& info) { return std::string(info.param.source); });

}  // namespace
