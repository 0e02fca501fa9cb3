// SPDX-License-Identifier: GPL-3.0-or-later
// Number rules: the number value of a text, rounding halves to even,
// saturation beyond 16 and 32 bits, and the field normalisation table.

#include "state/integers.h"
#include "state/number_text.h"
#include "state/parameter_rules.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace kug;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void numberValue_data();
    void numberValue();
    void rounding_data();
    void rounding();
    void saturation();
    void normalise_data();
    void normalise();
};

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
}

void TestNumbers::numberValue() {
    QFETCH(QByteArray, text);
    QFETCH(double, value);
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

void TestNumbers::normalise_data() {
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("balls");
    QTest::addColumn<QString>("speed");
    // Ball field bounded by 250, the start-up limit of the designed window.
    QTest::newRow("empty") << QByteArray("") << "2"
                           << "1"
                           << "1";
    QTest::newRow("abc") << QByteArray("abc") << "2"
                         << "1"
                         << "1";
    QTest::newRow("2.5") << QByteArray("2.5") << "2"
                         << "2"
                         << "2";
    QTest::newRow("3.5") << QByteArray("3.5") << "4"
                         << "4"
                         << "4";
    QTest::newRow("minus 7") << QByteArray("-7") << "2"
                             << "1"
                             << "1";
    QTest::newRow("1e2") << QByteArray("1e2") << "32"
                         << "100"
                         << "100";
    QTest::newRow("1,5") << QByteArray("1,5") << "2"
                         << "1"
                         << "1";
    QTest::newRow("7abc") << QByteArray("7abc") << "7"
                          << "7"
                          << "7";
    QTest::newRow("1.4") << QByteArray("1.4") << "2"
                         << "1"
                         << "1";
    QTest::newRow("0.6") << QByteArray("0.6") << "2"
                         << "1"
                         << "1";
    QTest::newRow("99999") << QByteArray("99999") << "32"
                           << "250"
                           << "100";
    QTest::newRow("-40000") << QByteArray("-40000") << "2"
                            << "1"
                            << "1";
    QTest::newRow("1e9") << QByteArray("1e9") << "32"
                         << "250"
                         << "100";
    QTest::newRow("1e400") << QByteArray("1e400") << "32"
                           << "250"
                           << "100";
    QTest::newRow("-1e400") << QByteArray("-1e400") << "2"
                            << "1"
                            << "1";
    QTest::newRow("&HFFFF") << QByteArray("&HFFFF") << "2"
                            << "1"
                            << "1";
    QTest::newRow("&H7FFFFFFF") << QByteArray("&H7FFFFFFF") << "32"
                                << "250"
                                << "100";
    QTest::newRow("&O777") << QByteArray("&O777") << "32"
                           << "250"
                           << "100";
    QTest::newRow("1 2") << QByteArray("1 2") << "12"
                         << "12"
                         << "12";
    QTest::newRow("control chars") << QByteArray("\x01\x7f") << "2"
                                   << "1"
                                   << "1";
    // Beyond 16 bits, the number saturates before the bounds apply.
    QTest::newRow("32767") << QByteArray("32767") << "32"
                           << "250"
                           << "100";
    QTest::newRow("32768") << QByteArray("32768") << "32"
                           << "250"
                           << "100";
    QTest::newRow("-32769") << QByteArray("-32769") << "2"
                            << "1"
                            << "1";
    QTest::newRow("1e-400") << QByteArray("1e-400") << "2"
                            << "1"
                            << "1";
    QTest::newRow("&h1a") << QByteArray("&h1a") << "26"
                          << "26"
                          << "26";
    QTest::newRow("250.5") << QByteArray("250.5") << "32"
                           << "250"
                           << "100";
    QTest::newRow("+5") << QByteArray("+5") << "5"
                        << "5"
                        << "5";
    QTest::newRow("blank first") << QByteArray(" 9") << "9"
                                 << "9"
                                 << "9";
    QTest::newRow("100000 digits") << QByteArray(100000, '9') << "32"
                                   << "250"
                                   << "100";
    QTest::newRow("100000 letters") << QByteArray(100000, 'x') << "2"
                                    << "1"
                                    << "1";
    // Texts as a field hands them on, in UTF-8: other scripts' digits are no
    // digits, and a letter after the number ends it.
    QTest::newRow("arabic-indic digit") << QByteArray("\xd9\xa3") << "2"
                                        << "1"
                                        << "1";
    QTest::newRow("z caron then 5") << QByteArray("\xc5\xbe"
                                                  "5")
                                    << "2"
                                    << "1"
                                    << "1";
    QTest::newRow("5 then z caron") << QByteArray("5\xc5\xbe") << "5"
                                    << "5"
                                    << "5";
    QTest::newRow("fullwidth digit") << QByteArray("\xef\xbc\x97") << "2"
                                     << "1"
                                     << "1";
    QTest::newRow("line feed between digits") << QByteArray("1\n2") << "12"
                                              << "12"
                                              << "12";
    QTest::newRow("tab first") << QByteArray("\t8") << "8"
                               << "8"
                               << "8";
    QTest::newRow("carriage return") << QByteArray("\r5") << "2"
                                     << "1"
                                     << "1";
    QTest::newRow("bell then digit") << QByteArray("\a5") << "2"
                                     << "1"
                                     << "1";
    QTest::newRow("digit then escape") << QByteArray("6\x1b[2") << "6"
                                       << "6"
                                       << "6";
    QTest::newRow("nul inside") << QByteArray("3\0"
                                              "9",
                                              3)
                                << "3"
                                << "3"
                                << "3";
}

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
