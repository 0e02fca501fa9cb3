// SPDX-License-Identifier: GPL-3.0-or-later
#include "session_invariants.h"

#include "desktop/param_field.h"
#include "desktop/sim_area.h"
#include "render/plot_kv.h"
#include "state/integers.h"
#include "state/number_text.h"
#include "window_fixture_runs.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>

namespace kug::test {

namespace {

QString yesNo(bool b) {
    return b ? QStringLiteral("on") : QStringLiteral("off");
}

// A field's text must be the plain decimal form of a whole number in bounds.
QString fieldError(const ParamField* f, int lower, int upper) {
    static const QRegularExpression decimal(QStringLiteral("^(0|-?[1-9][0-9]*)$"));
    const QString t = f->text();
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!decimal.match(t).hasMatch() || !ok || v < lower || v > upper)
        return QStringLiteral("%1 holds \"%2\" after losing the focus (bounds %3..%4)")
            .arg(f->objectName(), t)
            .arg(lower)
            .arg(upper);
    return {};
}

} // namespace

SessionInvariants::SessionInvariants(MainWindow& window)
    : window_(window), params_(&control<QGroupBox>(window, "params")),
      stupcitxt_(&control<ParamField>(window, "stupcitxt")),
      kuglicetxt_(&control<ParamField>(window, "kuglicetxt")),
      brzinatxt_(&control<ParamField>(window, "brzinatxt")),
      brzachk_(&control<QCheckBox>(window, "brzachk")),
      simarea_(&control<SimArea>(window, "simarea")), maxBalls_(window.state().maxBalls) {}

std::optional<RunState> SessionInvariants::runState() const {
    return shownRunState(window_);
}

QString SessionInvariants::check(Event last) const {
    for (const QString& e : {checkRunState(), checkSwitches(), checkFields(), checkCounts(),
                             checkDrawing(), checkAfter(last)}) {
        if (!e.isEmpty())
            return e;
    }
    return {};
}

QString SessionInvariants::checkAfter(Event last) const {
    if (last == Event::Other)
        return {};
    if (runState() != RunState::Idle)
        return QStringLiteral("%1 left the run %2")
            .arg(last == Event::Resize ? QStringLiteral("a resize") : QStringLiteral("an abort"),
                 QLatin1String(runStateName(runState())));
    if (last == Event::Abort) {
        const BoardState& s = window_.state();
        for (int i = 1; i <= window_.settings().columns; ++i)
            if (s.binCounts(i) != 0)
                return QStringLiteral("bin %1 holds %2 balls after an abort")
                    .arg(i)
                    .arg(s.binCounts(i));
    }
    return {};
}

QString SessionInvariants::checkRunState() const {
    if (runState())
        return {};
    return QStringLiteral("controls match no run state: ") + runRow(window_);
}

QString SessionInvariants::checkSwitches() const {
    // Enabled states inside the frame follow "Brza simulacija" alone; the
    // sound box is never enabled.
    const bool fast = brzachk_->checkState() == Qt::Checked;
    const auto inFrame = [this](const char* name) {
        return control<QWidget>(window_, name).isEnabledTo(params_);
    };
    if (inFrame("tragchk") == fast || inFrame("brzinalbl") == fast ||
        inFrame("brzinatxt") == fast || inFrame("petljachk") != fast)
        return QStringLiteral("mode switches disagree with \"Brza simulacija\" (%1)")
            .arg(yesNo(fast));
    if (inFrame("Check1"))
        return QStringLiteral("\"Zvuk\" is enabled");
    return {};
}

QString SessionInvariants::checkFields() const {
    const BoardState& s = window_.state();
    if (s.maxBalls != maxBalls_)
        return QStringLiteral("maxBalls changed from %1 to %2").arg(maxBalls_).arg(s.maxBalls);
    const QWidget* focus = window_.focusWidget();
    if (focus != stupcitxt_) {
        if (QString e = fieldError(stupcitxt_, s.minColumns, s.maxColumns); !e.isEmpty())
            return e;
        if (stupcitxt_->text().toInt() != window_.settings().columns)
            return QStringLiteral("column field shows %1 but the board has %2 columns")
                .arg(stupcitxt_->text())
                .arg(window_.settings().columns);
    }
    if (focus != kuglicetxt_) {
        if (QString e = fieldError(kuglicetxt_, s.minBalls, s.maxBalls); !e.isEmpty())
            return e;
    }
    if (focus != brzinatxt_) {
        if (QString e = fieldError(brzinatxt_, s.minSpeed, s.maxSpeed); !e.isEmpty())
            return e;
        if (window_.timmy().interval() != 101 - brzinatxt_->text().toInt())
            return QStringLiteral("speed %1 but Timmy ticks every %2 ms")
                .arg(brzinatxt_->text())
                .arg(window_.timmy().interval());
    }
    return {};
}

QString SessionInvariants::checkCounts() const {
    const BoardState& s = window_.state();
    const int n = window_.settings().columns;
    if (s.binCounts.upper() < n || s.theoryCounts.upper() < n)
        return QStringLiteral("arrays hold %1 and %2 entries for %3 columns")
            .arg(s.binCounts.upper())
            .arg(s.theoryCounts.upper())
            .arg(n);
    long sum = 0;
    for (int i = 1; i <= s.binCounts.upper(); ++i) {
        const int c = s.binCounts(i);
        if (c < 0 || c > runBalls_)
            return QStringLiteral("bin %1 holds %2 balls of a run of %3")
                .arg(i)
                .arg(c)
                .arg(runBalls_);
        sum += c;
    }
    if (sum > runBalls_)
        return QStringLiteral("bins hold %1 balls of a run of %2").arg(sum).arg(runBalls_);
    if (s.ballsLeft < 0)
        return QStringLiteral("ballsLeft is %1").arg(s.ballsLeft);
    // While a run is in progress every ball has either landed or is still to
    // come.
    if (runState() != RunState::Idle && sum + s.ballsLeft != runBalls_)
        return QStringLiteral("%1 balls landed and %2 to come in a run of %3")
            .arg(sum)
            .arg(s.ballsLeft)
            .arg(runBalls_);
    return {};
}

namespace {

// The board's unit length for an area of w x h: as wide as the area allows
// with 10 pixels either side of the 2n cells of bins, unless the board, 2(n -
// 2) + 16 cells and 10 pixels tall, would not fit the height.
int cellFor(int w, int h, int n) {
    const double rows = 2.0 * (n - 2) + 16;
    const double byWidth = std::nearbyint((w - 20) / (2.0 * n));
    if (float(rows * byWidth + 10) > float(h))
        return int(std::nearbyint((h - 10) / rows));
    return int(byWidth);
}

} // namespace

QString SessionInvariants::checkDrawing() const {
    const BoardState& s = window_.state();
    const QSize inner = simarea_->contentsRect().size();
    const int c = cellFor(inner.width(), inner.height(), window_.settings().columns);
    if (s.cellSize != c || s.ballRadius != int(std::nearbyint(c / 3.0)))
        return QStringLiteral("cellSize %1, ballRadius %2 for an area of %3x%4 with %5 columns "
                              "(expected %6)")
            .arg(s.cellSize)
            .arg(s.ballRadius)
            .arg(inner.width())
            .arg(inner.height())
            .arg(window_.settings().columns)
            .arg(c);
    if (window_.isMinimized())
        return {};
    // Layout: the frames hug the right edge, the drawing area fills the rest.
    const QWidget* gumbi = &control<QWidget>(window_, "gumbi");
    const int w = window_.width();
    if (params_->x() != w - params_->width() - 5 || gumbi->x() != w - gumbi->width() - 5 ||
        simarea_->width() != params_->x() - 10 || simarea_->height() != window_.height())
        return QStringLiteral("layout does not follow the window size %1x%2")
            .arg(w)
            .arg(window_.height());
    if (w < (s.minFormWidth - 120) / 15 || window_.height() < (s.minFormHeight - 405) / 15)
        return QStringLiteral("window %1x%2 is below its minimum size")
            .arg(w)
            .arg(window_.height());
    return {};
}

} // namespace kug::test
