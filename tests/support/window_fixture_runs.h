// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run states as the window shows them, and reading runs back from the
// board: counts, ball fields and the pixels of the histogram.

#include "desktop/main_window.h"
#include "desktop/sim_area.h"
#include "run_rows.h"
#include "window_driver.h"

#include <QImage>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <optional>

namespace kug::test {

// The run-state row the window shows.
inline QString runRow(const MainWindow& w) {
    return rowText(
        w.form().runState(),
        [&w](const RunControl& c) {
            return control<QWidget>(w, designOf(c.control).name).isEnabled();
        },
        w.timmy().isEnabled(), w.fastTimmy().isEnabled(), w.state().needsReset);
}

inline const QString idleRow = rowText(rowOf(RunState::Idle));
inline const QString runningRow = rowText(rowOf(RunState::Running));
inline const QString pausedRow = rowText(rowOf(RunState::Paused));
inline const QString loopingRow = rowText(rowOf(RunState::Looping));

// The state whose row the window shows, if any.
inline std::optional<RunState> shownRunState(const MainWindow& w) {
    const RunState s = w.form().runState();
    return runRow(w) == rowText(rowOf(s)) ? std::optional(s) : std::nullopt;
}

// Ticks the animated ball by hand (headless: no timer event is needed) until
// the run ends or `limit` ticks have passed; returns the ticks made.
inline int tickUntilIdle(MainWindow& w, int limit = 100000) {
    int ticks = 0;
    while (!w.state().needsReset && ticks < limit) {
        w.form().Timmy_Timer();
        ++ticks;
    }
    return ticks;
}

// Ticks until `balls` more balls have landed (or `limit` ticks have passed).
inline void tickUntilLanded(MainWindow& w, int balls, int limit = 100000) {
    const int target = w.state().ballsLeft - balls;
    for (int ticks = 0; w.state().ballsLeft > target && ticks < limit; ++ticks)
        w.form().Timmy_Timer();
}

inline int countSum(const MainWindow& w) {
    int sum = 0;
    const IntArray& counts = w.state().binCounts;
    for (int i = 1; i <= counts.upper(); ++i)
        sum += counts(i);
    return sum;
}

// The first bin with a count, or 0.
inline int fullestBin(const MainWindow& w) {
    const IntArray& counts = w.state().binCounts;
    int best = 0;
    for (int i = 1; i <= counts.upper(); ++i)
        if (counts(i) > 0 && (best == 0 || counts(i) > counts(best)))
            best = i;
    return best;
}

inline QImage picture(const MainWindow& w) {
    return control<SimArea>(w, "simarea").picture();
}

// The pixel in the middle of bin `bin`, just above its floor: the lowest row
// of that bin's bar, background when the bin is empty.
inline QPoint barFoot(const MainWindow& w, int bin) {
    const int n = w.settings().columns;
    const double c = w.state().cellSize;
    const double halfW = picture(w).deviceIndependentSize().width() / 2.0;
    const double floorY = (2.0 * (n - 2) + 4) * c + 8 * c;
    const double x = halfW + (2.0 * (bin - 1) - n) * c + c;
    return QPoint(static_cast<int>(std::floor(x)), static_cast<int>(floorY) - 1);
}

inline QColor pixelAt(const MainWindow& w, QPoint p) {
    const QImage image = picture(w);
    const qreal dpr = image.devicePixelRatio();
    return image.pixelColor(QPoint(static_cast<int>(p.x() * dpr), static_cast<int>(p.y() * dpr)));
}

inline bool redBarIn(const MainWindow& w, int bin) {
    return pixelAt(w, barFoot(w, bin)) == QColor(255, 0, 0);
}

// The fields that carry a ball from one tick to the next.
struct BallFields {
    Integer ballX, ballY, fallTick, hopDir, rowIndex, ballsLeft;
    Single hopX, hopY;
    bool dropping, atPeg;
    friend bool operator==(const BallFields&, const BallFields&) = default;
};

inline BallFields ballFields(const MainWindow& w) {
    const BoardState& s = w.state();
    return BallFields{s.ballX,     s.ballY, s.fallTick, s.hopDir,   s.rowIndex,
                      s.ballsLeft, s.hopX,  s.hopY,     s.dropping, s.atPeg};
}

inline char* toString(const BallFields& b) {
    return QTest::toString(QStringLiteral("ball (%1, %2) hop (%3, %4) dir %5 fallTick %6 row %7 "
                                          "left %8 dropping %9 atPeg %10")
                               .arg(b.ballX)
                               .arg(b.ballY)
                               .arg(b.hopX)
                               .arg(b.hopY)
                               .arg(b.hopDir)
                               .arg(b.fallTick)
                               .arg(b.rowIndex)
                               .arg(b.ballsLeft)
                               .arg(b.dropping)
                               .arg(b.atPeg));
}

} // namespace kug::test
