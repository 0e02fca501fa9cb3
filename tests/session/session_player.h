// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A seeded player of random user sessions on the real window: clicks,
// double-clicks, typing and pasting into whatever has the focus, Tab and other
// keys, ticks of the two timers, resizes, minimising and the About box. The
// window's own timers are kept silent and their ticks are delivered by the
// player instead, only while the timer is switched on, so that a seed always
// plays the same session.

#include "session_invariants.h"
#include "window_driver.h"

#include <QObject>
#include <QPoint>
#include <QStringList>

#include <cstdint>
#include <random>

class QWidget;

namespace kug::test {

struct SessionFigures {
    long events = 0;       // user events and tick bursts
    long ticks = 0;        // timer ticks delivered
    long freshRuns = 0;    // starts that set up a fresh run
    long finishedRuns = 0; // animated runs whose last ball landed
    long aboutBoxes = 0;   // About boxes opened and closed
};

class SessionPlayer final : public QObject {
    Q_OBJECT
public:
    SessionPlayer(MainWindow& window, std::uint32_t seed);
    ~SessionPlayer() override;

    // Plays `count` events, checking every rule after each; false and the
    // broken rule in `failure` when one is broken.
    bool play(long count, QString* failure);
    const QStringList& events() const { return log_; }
    const SessionFigures& figures() const { return figures_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }
    bool chance(int percent) { return pick(100) < percent; }

    QString playOne();
    QString click(bool twice);
    QString typeText();
    QString pasteText();
    QString pressKey();
    QString tickBurst();
    QString resizeWindow();
    QString minimise();
    QString restore();

    QWidget* randomTarget(QPoint* pos);
    QString randomText();
    bool isAbort(const QWidget* target) const;
    QString afterEvent(const QString& what, Event event = Event::Other);

    MainWindow& window_;
    WindowDriver driver_;
    SessionInvariants rules_;
    std::mt19937 rng_;
    QStringList log_;
    SessionFigures figures_;
    bool minimised_ = false;
    bool lastNeedsReset_ = true;
    QString tickFailure_;
};

} // namespace kug::test
