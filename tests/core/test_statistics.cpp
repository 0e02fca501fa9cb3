// SPDX-License-Identifier: GPL-3.0-or-later
// The real random source through both kinds of run: the bins must follow
// Binomial(n - 1, 1/2), checked by a chi-square goodness-of-fit test. The
// source is never seeded, so these results are the same on every run.

#include "render/plot_kv.h"
#include "render/surface.h"
#include "sim/animated_ball.h"
#include "sim/fast_sim.h"
#include "sim/random_source.h"
#include "sim/run_setup.h"
#include "state/board_state.h"

#include <QTest>

#include <cmath>
#include <random>
#include <vector>

using namespace kug;

namespace {

// A drawing area that draws nothing, for runs without a window.
class NullSurface final : public Surface {
public:
    NullSurface(int w, int h) : w_(w), h_(h) {}
    int scaleWidth() const override { return w_; }
    int scaleHeight() const override { return h_; }
    Long backColor() const override { return rgb(255, 255, 255); }
    void cls() override {}
    void setFillStyle(int) override {}
    void setFillColor(Long) override {}
    void circle(Single, Single, Single, Long) override {}
    void line(Single, Single, Single, Single, Long) override {}
    void box(Single, Single, Single, Single, Long) override {}
    void print(const std::string&) override {}

private:
    int w_, h_;
};

// Regularised upper incomplete gamma Q(a, x): a series for x < a + 1, a
// continued fraction (modified Lentz) beyond.
double upperGammaQ(double a, double x) {
    if (x <= 0)
        return 1.0;
    const double front = std::exp(-x + a * std::log(x) - std::lgamma(a));
    if (x < a + 1) {
        double term = 1.0 / a, sum = term;
        for (double ap = a + 1; std::fabs(term) > std::fabs(sum) * 1e-16; ap += 1) {
            term *= x / ap;
            sum += term;
        }
        return 1.0 - sum * front;
    }
    constexpr double tiny = 1e-300;
    double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
    for (int i = 1; i < 10000; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        if (std::fabs(d) < tiny)
            d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny)
            c = tiny;
        d = 1 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1) < 1e-16)
            break;
    }
    return front * h;
}

double chiSquareP(double chi2, int degrees) {
    return upperGammaQ(degrees / 2.0, chi2 / 2.0);
}

// The chi-square tail by its closed forms: for even degrees 2m a finite
// Poisson sum, for odd degrees erfc plus a finite sum of half-integer terms.
double closedFormTail(double chi2, int degrees) {
    const double y = chi2 / 2;
    double sum = 0;
    if (degrees % 2 == 0) {
        double term = 1;
        for (int j = 0; j < degrees / 2; ++j) {
            sum += term;
            term *= y / (j + 1);
        }
        return std::exp(-y) * sum;
    }
    for (int j = 1; j <= degrees / 2; ++j)
        sum += std::pow(y, j - 0.5) / std::tgamma(j + 0.5);
    return std::erfc(std::sqrt(y)) + std::exp(-y) * sum;
}

struct Fit {
    double chi2 = 0;
    int degrees = 0;
    double p = 0;
    double smallestExpected = 0;
};

// Goodness of fit of the bin counts to Binomial(n - 1, 1/2); bins at either
// end are merged into their neighbour until every expected count is >= 5.
Fit binomialFit(const std::vector<long long>& observed) {
    const int n = int(observed.size());
    long long total = 0;
    for (long long o : observed)
        total += o;
    std::vector<double> obs(observed.begin(), observed.end());
    std::vector<double> expd;
    double binom = 1; // C(n - 1, k)
    for (int k = 0; k < n; ++k) {
        expd.push_back(total * binom / std::ldexp(1.0, n - 1));
        binom = binom * (n - 1 - k) / (k + 1);
    }
    while (expd.size() > 1 && expd.front() < 5) {
        expd[1] += expd[0];
        obs[1] += obs[0];
        expd.erase(expd.begin());
        obs.erase(obs.begin());
    }
    while (expd.size() > 1 && expd.back() < 5) {
        expd[expd.size() - 2] += expd.back();
        obs[obs.size() - 2] += obs.back();
        expd.pop_back();
        obs.pop_back();
    }
    Fit fit;
    fit.smallestExpected = *std::min_element(expd.begin(), expd.end());
    for (std::size_t k = 0; k < expd.size(); ++k)
        fit.chi2 += (obs[k] - expd[k]) * (obs[k] - expd[k]) / expd[k];
    fit.degrees = int(expd.size()) - 1;
    fit.p = chiSquareP(fit.chi2, fit.degrees);
    return fit;
}

QString describe(const Fit& f, long long balls) {
    return QStringLiteral("%1 balls: chi2 %2, %3 degrees of freedom, p %4")
        .arg(balls)
        .arg(f.chi2, 0, 'f', 3)
        .arg(f.degrees)
        .arg(f.p, 0, 'g', 4);
}

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT
private slots:
    void chiSquareTail_data();
    void chiSquareTail();
    void fitRejectsWrongCounts();
    void sourceIsDefaultMt19937();
    void fastRuns_data();
    void fastRuns();
    void animatedRuns_data();
    void animatedRuns();
};

void TestStatistics::chiSquareTail_data() {
    QTest::addColumn<double>("chi2");
    QTest::addColumn<int>("degrees");
    QTest::addColumn<double>("p");
    // critical values of the chi-square distribution
    QTest::newRow("1 dof 5%") << 3.841458820694124 << 1 << 0.05;
    QTest::newRow("1 dof 0.1%") << 10.827566170662733 << 1 << 0.001;
    QTest::newRow("10 dof 5%") << 18.307038053275146 << 10 << 0.05;
    // closed forms for whole and half-whole a
    for (int degrees : {1, 2, 3, 4, 7, 10, 19, 20, 31})
        for (double chi2 : {0.5, 3.0, 11.0, 30.0, 80.0})
            QTest::addRow("%d dof, chi2 %g", degrees, chi2)
                << chi2 << degrees << closedFormTail(chi2, degrees);
}

void TestStatistics::chiSquareTail() {
    QFETCH(double, chi2);
    QFETCH(int, degrees);
    QFETCH(double, p);
    const double got = chiSquareP(chi2, degrees);
    QVERIFY2(
        std::fabs(got - p) <= 1e-9 * p + 1e-15,
        qPrintable(QStringLiteral("%1 instead of %2").arg(got, 0, 'g', 15).arg(p, 0, 'g', 15)));
}

// The test itself must be able to fail: a sample shifted by one bin is rejected.
void TestStatistics::fitRejectsWrongCounts() {
    const std::vector<long long> fair = {625, 2500, 3750, 2500, 625};
    QVERIFY(binomialFit(fair).p > 0.99);
    const std::vector<long long> skewed = {500, 2400, 3750, 2600, 750};
    QVERIFY(binomialFit(skewed).p < 0.001);
    const std::vector<long long> oneSided = {0, 0, 0, 0, 10000};
    QVERIFY(binomialFit(oneSided).p < 1e-12);
}

// The source maps the default-seeded mt19937 by 2^-32 exactly, so its numbers
// are the same everywhere and always below 1.
void TestStatistics::sourceIsDefaultMt19937() {
    Mt19937Source source;
    std::mt19937 reference;
    for (int i = 1; i <= 10000; ++i) {
        const std::uint32_t bits = std::uint32_t(reference());
        const double r = source.next();
        QCOMPARE(r, bits / 4294967296.0);
        QVERIFY(r >= 0.0 && r < 1.0);
        if (i == 10000)
            QCOMPARE(bits, 4123659995u); // the standard's check value
    }
}

void TestStatistics::fastRuns_data() {
    QTest::addColumn<int>("columns");
    for (int n : {2, 3, 10, 20, 32})
        QTest::addRow("%d columns", n) << n;
}

// At least 100,000 balls in fast runs of at most 32767 balls each, on the
// board of the window's start-up size made one pixel wider, so that the
// rounded centre lies left of the axis.
void TestStatistics::fastRuns() {
    QFETCH(int, columns);
    BoardState s;
    loadDefaults(s);
    s.binCounts.redim(columns);
    NullSurface area(233, 351);
    const RunSettings settings{columns, 25000, 1};
    plotKV(s, area, settings, Switches{true, false, false, false});
    const int width = area.scaleWidth();
    Mt19937Source random;
    std::vector<long long> bins(std::size_t(columns), 0);
    long long balls = 0;
    for (int run = 0; run < 4; ++run) {
        s.ballX = toInteger(width / 2.0);
        fastsim(s, random, settings, width);
        for (int k = 1; k <= columns; ++k)
            bins[std::size_t(k - 1)] += s.binCounts(k);
        balls += 25000;
    }
    long long counted = 0;
    for (long long b : bins)
        counted += b;
    QCOMPARE(counted, balls);
    const Fit fit = binomialFit(bins);
    qInfo().noquote() << describe(fit, balls);
    QVERIFY(fit.smallestExpected >= 5);
    QVERIFY2(fit.p > 0.001, qPrintable(describe(fit, balls)));
}

void TestStatistics::animatedRuns_data() {
    fastRuns_data();
}

// 5,000 balls through the animated tick, driven without a timer on the board
// of the window's start-up size.
void TestStatistics::animatedRuns() {
    QFETCH(int, columns);
    constexpr int balls = 5000;
    BoardState s;
    loadDefaults(s);
    NullSurface area(232, 351);
    const RunSettings settings{columns, balls, 1};
    plotKV(s, area, settings, Switches{});
    freshRunSetup(s, area, settings, Switches{});
    Mt19937Source random;
    long long ticks = 0;
    TickOutcome outcome = TickOutcome::Moved;
    while (outcome != TickOutcome::RunEnded && ticks < 100'000'000) {
        outcome = ballTick(s, area, random, settings, Switches{});
        ++ticks;
    }
    QCOMPARE(outcome, TickOutcome::RunEnded);
    std::vector<long long> bins;
    for (int k = 1; k <= columns; ++k)
        bins.push_back(s.binCounts(k));
    long long counted = 0;
    for (long long b : bins)
        counted += b;
    QCOMPARE(counted, balls);
    const Fit fit = binomialFit(bins);
    qInfo().noquote() << describe(fit, balls) << QStringLiteral("(%1 ticks)").arg(ticks);
    QVERIFY(fit.smallestExpected >= 5);
    QVERIFY2(fit.p > 0.001, qPrintable(describe(fit, balls)));
}

QTEST_APPLESS_MAIN(TestStatistics)
#include "test_statistics.moc"
