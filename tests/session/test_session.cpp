// SPDX-License-Identifier: GPL-3.0-or-later
// Random sessions on the real window: every seed plays a long, reproducible
// sequence of clicks, typing, keys, timer ticks, resizes, minimising and About
// boxes, and after every event the window must keep its rules (see
// session_invariants.h). A failing seed prints the events that led to the
// broken rule, the last ones in its failure message, and
// writes them to KUG_ARTIFACTS too; replaying the seed
// (test_session "sessions:seed N") plays exactly the same session again;
// KUG_SESSION_EVENTS sets the number of events per seed, and KUG_SESSION_KEEP
// writes the event list of a passing seed too.

#include "desktop/main_window.h"
#include "session_player.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextStream>

#include <cstdio>

using namespace kug;
using namespace kug::test;

namespace {

// At least 20 000 events per seed; KUG_SESSION_EVENTS may ask for more.
long eventsPerSeed() {
    const long asked = qEnvironmentVariableIntValue("KUG_SESSION_EVENTS");
    return asked > 0 ? asked : 20000;
}

QString saveEvents(std::uint32_t seed, const QStringList& events) {
    const QString dir = qEnvironmentVariable("KUG_ARTIFACTS", QDir::tempPath());
    QDir().mkpath(dir);
    const QString path = QStringLiteral("%1/session_seed_%2.txt").arg(dir).arg(seed);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Text)) {
        QTextStream out(&f);
        for (qsizetype i = 0; i < events.size(); ++i)
            out << (i + 1) << ": " << events.at(i) << '\n';
    }
    return path;
}

QtMessageHandler passOn = nullptr;

// The offscreen platform warns on every resize that it cannot pass size hints
// on; thousands of resizes would bury the test's own output.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
    if (!msg.contains(QLatin1String("propagateSizeHints")))
        passOn(type, context, msg);
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { passOn = qInstallMessageHandler(quietHandler); }
    void cleanupTestCase() { qInstallMessageHandler(passOn); }
    void sessions_data();
    void sessions();
};

void TestSession::sessions_data() {
    // KUG_SESSION_SEED_OFFSET explores further seeds under the same names.
    const uint offset = qEnvironmentVariableIntValue("KUG_SESSION_SEED_OFFSET");
    QTest::addColumn<uint>("seed");
    for (uint seed = 1; seed <= 10; ++seed)
        QTest::addRow("seed %u", seed) << seed + offset;
}

void TestSession::sessions() {
    QFETCH(uint, seed);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SessionPlayer player(window, seed);
    QString failure;
    const bool kept = player.play(eventsPerSeed(), &failure);
    const SessionFigures& f = player.figures();
    qInfo("seed %u: %ld events, %ld ticks, %ld fresh runs, %ld finished animated runs, "
          "%ld About boxes",
          seed, f.events, f.ticks, f.freshRuns, f.finishedRuns, f.aboutBoxes);
    if (kept) {
        if (qEnvironmentVariableIsSet("KUG_SESSION_KEEP"))
            qInfo("events: %s", qPrintable(saveEvents(seed, player.events())));
        return;
    }
    const QString path = saveEvents(seed, player.events());
    const QStringList& events = player.events();
    // The whole list goes to the log, so that a failure in CI can be read
    // without its artifacts.
    std::fprintf(stderr, "events of seed %u up to the failure:\n", seed);
    for (qsizetype i = 0; i < events.size(); ++i)
        std::fprintf(stderr, "%lld: %s\n", static_cast<long long>(i + 1), qPrintable(events.at(i)));
    QString tail;
    for (qsizetype i = std::max<qsizetype>(0, events.size() - 40); i < events.size(); ++i)
        tail += QStringLiteral("\n  %1: %2").arg(i + 1).arg(events.at(i));
    QFAIL(qPrintable(QStringLiteral("seed %1 %2\nlast events:%3\nall %4 events: %5")
                         .arg(seed)
                         .arg(failure, tail)
                         .arg(events.size())
                         .arg(path)));
}

QTEST_MAIN(TestSession)
#include "test_session.moc"
