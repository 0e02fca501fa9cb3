// SPDX-License-Identifier: GPL-3.0-or-later
// Number rules: the number value of a text (to the last bit, and whatever the
// process locale), rounding halves to even, saturation beyond 16 and 32 bits,
// and the field normalisation table.

#include "state/integers.h"
#include "state/number_text.h"
#include "state/parameter_rules.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <limits>

using namespace kug;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void numberValue_data();
    void numberValue();
    void numberValueInCommaLocale_data();
    void numberValueInCommaLocale();
    void rounding_data();
    void rounding();
    void saturation();
    void normalise_data();
    void normalise();

private:
    QTemporaryDir locales_; // a locale with a decimal comma, made by localedef
};

void TestNumbers::initTestCase() {
    QVERIFY(locales_.isValid());
    QProcess localedef;
    localedef.start("localedef", {"-i", "hr_HR", "-f", "UTF-8", locales_.filePath("hr_HR.UTF-8")});
    QVERIFY2(localedef.waitForFinished(60000), "localedef did not finish");
    QVERIFY2(localedef.exitStatus() == QProcess::NormalExit && localedef.exitCode() == 0,
             localedef.readAllStandardError().constData());
}

void TestNumbers::numberValue_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("letters") << QByteArray("abc") << 0.0;
    QTest::newRow("plain") << QByteArray("32") << 32.0;
    QTest::newRow("fraction") << QByteArray("2.5") << 2.5;
    QTest::newRow("negative") << QByteArray("-7") << -7.0;
    QTest::newRow("plus") << QByteArray("+7") << 7.0;
    QTest::newRow("exponent") << QByteArray("1e2") << 100.0;
    QTest::newRow("exponent sign") << QByteArray("25E-1") << 2.5;
    QTest::newRow("comma ends") << QByteArray("1,5") << 1.0;
    QTest::newRow("trailing garbage") << QByteArray("7abc") << 7.0;
    QTest::newRow("blanks between digits") << QByteArray(" 1 2") << 12.0;
    QTest::newRow("tab and line feed") << QByteArray("\t3\n4") << 34.0;
    QTest::newRow("leading point") << QByteArray(".5") << 0.5;
    QTest::newRow("second point ends") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("hex") << QByteArray("&H1F") << 31.0;
    QTest::newRow("hex lower case") << QByteArray("&hff") << 255.0;
    QTest::newRow("hex 16-bit pattern") << QByteArray("&HFFFF") << -1.0;
    QTest::newRow("hex 32-bit") << QByteArray("&H7FFFFFFF") << 2147483647.0;
    QTest::newRow("octal") << QByteArray("&O777") << 511.0;
    QTest::newRow("ampersand alone") << QByteArray("&") << 0.0;
    QTest::newRow("exponent without digits") << QByteArray("3e") << 3.0;
    QTest::newRow("carriage return stops") << QByteArray("1\r2") << 1.0;
    QTest::newRow("non-ascii digit stops") << QByteArray("4\xd9\xa3") << 4.0;
    QTest::newRow("hexadecimal prefix stops") << QByteArray("0x10") << 0.0;
    QTest::newRow("infinity is no number") << QByteArray("inf") << 0.0;
    QTest::newRow("nan is no number") << QByteArray("nan") << 0.0;
    // The edges of double: correctly rounded to the last bit, subnormals kept.
    const double inf = std::numeric_limits<double>::infinity();
    const double leastSubnormal = std::numeric_limits<double>::denorm_min();
    QTest::newRow("least subnormal") << QByteArray("4.9406564584124654e-324") << leastSubnormal;
    QTest::newRow("just below half the least subnormal")
        << QByteArray("2.4703282292062327e-324") << 0.0;
    QTest::newRow("just above half the least subnormal")
        << QByteArray("2.4703282292062328e-324") << leastSubnormal;
    QTest::newRow("subnormal") << QByteArray("1e-320") << 0x0.00000000007e8p-1022;
    QTest::newRow("largest subnormal")
        << QByteArray("2.2250738585072009e-308") << 0x0.fffffffffffffp-1022;
    QTest::newRow("least normal") << QByteArray("2.2250738585072014e-308") << DBL_MIN;
    QTest::newRow("largest finite") << QByteArray("1.7976931348623157e308") << DBL_MAX;
    QTest::newRow("rounds up to infinity") << QByteArray("1.7976931348623159e308") << inf;
    QTest::newRow("underflow keeps the sign") << QByteArray("-1e-400") << -0.0;
    QTest::newRow("minus zero") << QByteArray("-0") << -0.0;
    QTest::newRow("exponent beyond any integer") << QByteArray("1e99999999999999999999") << inf;
    QTest::newRow("zero with a huge exponent") << QByteArray("0e99999999") << 0.0;
    QTest::newRow("tie to even") << QByteArray("9007199254740993") << 9007199254740992.0;
    QTest::newRow("tie broken by the 801st digit")
        << QByteArray("9007199254740993.") + QByteArray(784, '0') + "1" << 9007199254740994.0;
    QTest::newRow("long leading zeros")
        << QByteArray("0.") + QByteArray(100000, '0') + "1e100001" << 1.0;
    // 1e-1000000 times 1e1000300, but the exponent is held at a million.
    QTest::newRow("exponent held at a million")
        << QByteArray("0.") + QByteArray(999999, '0') + "1e1000300" << 1.0;
}

void TestNumbers::numberValue() {
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    const double v = kug::numberValue(text.toStdString());
    QCOMPARE(v, value);
    // QCOMPARE takes all values near zero as equal; the bits tell signed
    // zeros and subnormals apart.
    QCOMPARE(std::bit_cast<quint64>(v), std::bit_cast<quint64>(value));
}

void TestNumbers::numberValueInCommaLocale_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("point") << QByteArray("2.5") << 2.5;
    QTest::newRow("comma ends") << QByteArray("1,5") << 1.0;
    QTest::newRow("point and exponent") << QByteArray("12.5e-1") << 1.25;
}

// The toolkit switches the process to the user's locale, where the decimal
// point may be a comma; the fields read a point all the same.
void TestNumbers::numberValueInCommaLocale() {
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    QVERIFY(qputenv("LOCPATH", QFile::encodeName(locales_.path())));
    const auto restore = qScopeGuard([] {
        std::setlocale(LC_NUMERIC, "C");
        qunsetenv("LOCPATH");
    });
    QVERIFY(std::setlocale(LC_NUMERIC, "hr_HR.UTF-8") != nullptr);
    QCOMPARE(std::localeconv()->decimal_point, ",");
    QCOMPARE(kug::numberValue(text.toStdString()), value);
}

void TestNumbers::rounding_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("nearest");
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("83.5") << 83.5 << 84;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("0.6") << 0.6 << 1;
    QTest::newRow("250.5") << 250.5 << 250;
    QTest::newRow("262.5") << 262.5 << 262;
}

void TestNumbers::rounding() {
    QFETCH(double, value);
    QFETCH(int, nearest);
    QCOMPARE(int(toInteger(value)), nearest);
    QCOMPARE(int(toLong(value)), nearest);
}

void TestNumbers::saturation() {
    QCOMPARE(toInteger(99999), Integer(32767));
    QCOMPARE(toInteger(-40000), Integer(-32768));
    QCOMPARE(toInteger(std::numeric_limits<double>::infinity()), Integer(32767));
    QCOMPARE(toInteger(std::nan("")), Integer(0));
    QCOMPARE(toLong(1e12), Long(2147483647));
    QCOMPARE(toLong(-1e12), Long(-2147483647 - 1));
    QCOMPARE(intMul(8, 5000), Integer(32767));
    QCOMPARE(intMul(-2, 20000), Integer(-32768));
    QCOMPARE(intAdd(32767, 1), Integer(32767));
    QCOMPARE(kug::numberValue("1e400"), std::numeric_limits<double>::infinity());
    QCOMPARE(kug::numberValue("-1e400"), -std::numeric_limits<double>::infinity());
    QCOMPARE(kug::numberValue("1e-400"), 0.0);
    QCOMPARE(kug::numberValue(std::string(100000, '9')), std::numeric_limits<double>::infinity());
}

// One row a line.
// clang-format off
void TestNumbers::normalise_data() {
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("balls");
    QTest::addColumn<QString>("speed");
    // Ball field bounded by 250, the start-up limit of the designed window.
    QTest::newRow("empty") << QByteArray("") << "2" << "1" << "1";
    QTest::newRow("abc") << QByteArray("abc") << "2" << "1" << "1";
    QTest::newRow("2.5") << QByteArray("2.5") << "2" << "2" << "2";
    QTest::newRow("3.5") << QByteArray("3.5") << "4" << "4" << "4";
    QTest::newRow("minus 7") << QByteArray("-7") << "2" << "1" << "1";
    QTest::newRow("1e2") << QByteArray("1e2") << "32" << "100" << "100";
    QTest::newRow("1,5") << QByteArray("1,5") << "2" << "1" << "1";
    QTest::newRow("7abc") << QByteArray("7abc") << "7" << "7" << "7";
    QTest::newRow("1.4") << QByteArray("1.4") << "2" << "1" << "1";
    QTest::newRow("0.6") << QByteArray("0.6") << "2" << "1" << "1";
    QTest::newRow("99999") << QByteArray("99999") << "32" << "250" << "100";
    QTest::newRow("-40000") << QByteArray("-40000") << "2" << "1" << "1";
    QTest::newRow("1e9") << QByteArray("1e9") << "32" << "250" << "100";
    QTest::newRow("1e400") << QByteArray("1e400") << "32" << "250" << "100";
    QTest::newRow("-1e400") << QByteArray("-1e400") << "2" << "1" << "1";
    QTest::newRow("&HFFFF") << QByteArray("&HFFFF") << "2" << "1" << "1";
    QTest::newRow("&H7FFFFFFF") << QByteArray("&H7FFFFFFF") << "32" << "250" << "100";
    QTest::newRow("&O777") << QByteArray("&O777") << "32" << "250" << "100";
    QTest::newRow("1 2") << QByteArray("1 2") << "12" << "12" << "12";
    QTest::newRow("control chars") << QByteArray("\x01\x7f") << "2" << "1" << "1";
    // Beyond 16 bits, the number saturates before the bounds apply.
    QTest::newRow("32767") << QByteArray("32767") << "32" << "250" << "100";
    QTest::newRow("32768") << QByteArray("32768") << "32" << "250" << "100";
    QTest::newRow("-32769") << QByteArray("-32769") << "2" << "1" << "1";
    QTest::newRow("1e-400") << QByteArray("1e-400") << "2" << "1" << "1";
    QTest::newRow("&h1a") << QByteArray("&h1a") << "26" << "26" << "26";
    QTest::newRow("250.5") << QByteArray("250.5") << "32" << "250" << "100";
    QTest::newRow("+5") << QByteArray("+5") << "5" << "5" << "5";
    QTest::newRow("blank first") << QByteArray(" 9") << "9" << "9" << "9";
    QTest::newRow("100000 digits") << QByteArray(100000, '9') << "32" << "250" << "100";
    QTest::newRow("100000 letters") << QByteArray(100000, 'x') << "2" << "1" << "1";
    // Texts as a field hands them on, in UTF-8: other scripts' digits are no
    // digits, and a letter after the number ends it.
    QTest::newRow("arabic-indic digit") << QByteArray("\xd9\xa3") << "2" << "1" << "1";
    QTest::newRow("z caron then 5") << QByteArray("\xc5\xbe" "5") << "2" << "1" << "1";
    QTest::newRow("5 then z caron") << QByteArray("5\xc5\xbe") << "5" << "5" << "5";
    QTest::newRow("fullwidth digit") << QByteArray("\xef\xbc\x97") << "2" << "1" << "1";
    QTest::newRow("line feed between digits") << QByteArray("1\n2") << "12" << "12" << "12";
    QTest::newRow("tab first") << QByteArray("\t8") << "8" << "8" << "8";
    QTest::newRow("carriage return") << QByteArray("\r5") << "2" << "1" << "1";
    QTest::newRow("bell then digit") << QByteArray("\a5") << "2" << "1" << "1";
    QTest::newRow("digit then escape") << QByteArray("6\x1b[2") << "6" << "6" << "6";
    QTest::newRow("nul inside") << QByteArray("3\0" "9", 3) << "3" << "3" << "3";
}
// clang-format on

void TestNumbers::normalise() {
    QFETCH(QByteArray, typed);
    QFETCH(QString, columns);
    QFETCH(QString, balls);
    QFETCH(QString, speed);
    const std::string t = typed.toStdString();
    QCOMPARE(QString::fromStdString(normaliseFieldText(t, {2, 32})), columns);
    QCOMPARE(QString::fromStdString(normaliseFieldText(t, {1, 250})), balls);
    QCOMPARE(QString::fromStdString(normaliseFieldText(t, {1, 100})), speed);
    // A corrected text is a fixed point.
    QCOMPARE(QString::fromStdString(normaliseFieldText(columns.toStdString(), {2, 32})), columns);
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "test_numbers.moc"
