// Runs in a process of its own under a German locale: number texts must not
// follow it once the game's application object exists.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QLocale>
#include <QTemporaryDir>

#include "app/QuorvexApplication.h"
#include "script/Builtins.h"
#include "script/ScriptValue.h"

namespace qx {
namespace {

std::string Printed(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

TEST(GermanLocale, NumberTextsKeepTheirPointAndComma) {
    // A German locale of our own, so the test needs no system-wide setup.
    QTemporaryDir locales;
    ASSERT_TRUE(locales.isValid());
    const std::string command = "localedef -i de_DE -f UTF-8 '" + locales.path().toStdString() +
                                "/de_DE.UTF-8' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0)
        << "localedef could not build de_DE.UTF-8 (the Debian package \"locales\" provides its sources)";
    setenv("LOCPATH", locales.path().toUtf8().constData(), 1);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);

    // The premise: this environment makes the C library write "1234,50".
    ASSERT_NE(std::setlocale(LC_ALL, ""), nullptr);
    ASSERT_EQ(Printed(1234.5), "1234,50");
    std::setlocale(LC_ALL, "C");

    static int argc = 1;
    static char name[] = "quorvex-locale-test";
    static char* argv[] = {name, nullptr};
    TQuorvexApplication app(argc, argv);

    // The application object took the environment's locale, but not for numbers.
    EXPECT_EQ(QLocale::system().decimalPoint(), ",") << "the test runs under a German locale";
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
    EXPECT_EQ(Printed(1234.5), "1234.50");
    EXPECT_DOUBLE_EQ(std::strtod("2.5", nullptr), 2.5);
    EXPECT_EQ(std::to_string(0.5), "0.500000");
    // Scripts format numbers through the C library.
    EXPECT_EQ(FormatOne("%n", TValue(1234.5)), "1,234.50");
    EXPECT_EQ(FormatOne("%f", TValue(2.25)), "2.25");
    // Qt's number texts use the default locale.
    EXPECT_EQ(QLocale().toString(1234.5, 'f', 1), "1,234.5");
    bool ok = false;
    EXPECT_DOUBLE_EQ(QLocale().toDouble("2.5", &ok), 2.5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(QString::number(0.25), "0.25");
}

} // namespace
} // namespace qx
