// SPDX-License-Identifier: GPL-3.0-or-later
#include "session_player.h"

#include "desktop/param_field.h"
#include "window_fixture_runs.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <array>

namespace kug::test {

namespace {

// Controls a user can aim at, with weights: the run buttons and the fields
// most often. The exit button is left out: it ends the program.
struct Target {
    const char* name;
    int weight;
};

constexpr std::array targets{
    Target{"startcmd", 6},     Target{"stopcmd", 4},    Target{"fullstopcmd", 3},
    Target{"stupcitxt", 4},    Target{"kuglicetxt", 4}, Target{"brzinatxt", 3},
    Target{"brzachk", 3},      Target{"petljachk", 3},  Target{"tragchk", 2},
    Target{"teorijskachk", 2}, Target{"Check1", 1},     Target{"stupcilbl", 1},
    Target{"kuglicelbl", 1},   Target{"brzinalbl", 1},  Target{"params", 1},
    Target{"gumbi", 1},        Target{"simarea", 2},    Target{"", 3}, // "" = anywhere
};

// Texts users type when they mean harm or slip: the field-correction
// examples, numbers beyond 16 bits and beyond a double, radix prefixes, other
// scripts' digits, invisible characters and very long texts.
const QStringList hostileTexts{
    "",
    "abc",
    "2.5",
    "3.5",
    "-7",
    "1e2",
    "1,5",
    "7abc",
    "1.4",
    "0.6",
    "99999",
    "-40000",
    "1e9",
    "1e400",
    "-1e400",
    "&HFFFF",
    "&H7FFFFFFF",
    "&O777",
    "1 2",
    "0",
    "-0",
    "32.5",
    "250.5",
    "251",
    "1e-400",
    "&H",
    "&O",
    "&",
    ".",
    "-",
    "+",
    "e5",
    "0x20",
    "inf",
    "nan",
    "32767",
    "32768",
    "-32768",
    "-32769",
    "2147483648",
    "1.0e+1",
    "  16  ",
    "&hFFFFFFFF",
    "&H10000",
    "&o177777",
    "4.5e1",
    "-.5",
    "1e-1",
    QStringLiteral("\u0663\u0662"),
    QStringLiteral("\uff13\uff12"),
    QStringLiteral("1\u00a06"),
    QStringLiteral("\u200f12"),
    QStringLiteral("\U0001F600"),
    QString(300, QLatin1Char('9')),
    QStringLiteral("1") + QString(400, QLatin1Char('0')),
    QStringLiteral("1") + QString(50, QLatin1Char(' ')) + QStringLiteral("2"),
};

// Pasted texts may also carry control characters that typing cannot.
const QStringList pastedTexts{
    QStringLiteral("\t5\n"),
    QStringLiteral("1\r2"),
    QString(QChar(0)) + QStringLiteral("7"),
    QStringLiteral("\x1b[31m9"),
    QStringLiteral("12\n34"),
    QStringLiteral("\x7f"
                   "3"),
    QStringLiteral("\u2028"
                   "8"),
    QStringLiteral("3\v1"),
};

const QString alphabet = QStringLiteral("0123456789012345678901234567890123456789"
                                        "..--++eE,&HhOox  \u0663\uff15\u00e9\u00df\u20ac");

QString describe(const QString& text) {
    QString out;
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x20 && ch.unicode() < 0x7f && ch != QLatin1Char('"'))
            out += ch;
        else
            out += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
    }
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QString name(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

} // namespace

SessionPlayer::SessionPlayer(MainWindow& window, std::uint32_t seed)
    : window_(window), driver_(window), rules_(window), rng_(seed) {
    qApp->installEventFilter(this);
    auto* start = window.findChild<QPushButton*>(QStringLiteral("startcmd"));
    // Runs after the window's own handler: a start from Idle has set up a
    // fresh run with the ball count of the field.
    connect(start, &QPushButton::clicked, this, [this] {
        if (!lastNeedsReset_)
            return;
        ++figures_.freshRuns;
        const auto* balls = window_.findChild<ParamField*>(QStringLiteral("kuglicetxt"));
        rules_.freshRun(balls->text().toInt());
    });
}

SessionPlayer::~SessionPlayer() {
    qApp->removeEventFilter(this);
}

bool SessionPlayer::eventFilter(QObject* watched, QEvent* event) {
    // The timers' real ticks are swallowed; the player delivers them.
    if (event->type() == QEvent::Timer && qobject_cast<QTimer*>(watched))
        return true;
    return QObject::eventFilter(watched, event);
}

bool SessionPlayer::play(long count, QString* failure) {
    driver_.makeActive();
    if (QString e = rules_.check(); !e.isEmpty()) {
        *failure = QStringLiteral("before the first event: ") + e;
        return false;
    }
    for (long i = 0; i < count; ++i) {
        const QString e = playOne();
        ++figures_.events;
        if (!e.isEmpty()) {
            *failure = QStringLiteral("after event %1 (%2): %3").arg(i + 1).arg(log_.last(), e);
            return false;
        }
    }
    if (minimised_)
        return restore().isEmpty();
    return true;
}

QString SessionPlayer::playOne() {
    if (minimised_)
        return restore();
    driver_.makeActive();
    // Ticks arrive only while a timer is on.
    const bool ticking = window_.timmy().isEnabled() || window_.fastTimmy().isEnabled();
    if (ticking && chance(35))
        return tickBurst();
    const int r = pick(1000);
    if (r < 400)
        return click(false);
    if (r < 500)
        return click(true);
    if (r < 700)
        return typeText();
    if (r < 730)
        return pasteText();
    if (r < 955)
        return pressKey();
    if (r < 990)
        return resizeWindow();
    return minimise();
}

QWidget* SessionPlayer::randomTarget(QPoint* pos) {
    int total = 0;
    for (const Target& t : targets)
        total += t.weight;
    int r = pick(total);
    const Target* chosen = &targets.back();
    for (const Target& t : targets) {
        if (r < t.weight) {
            chosen = &t;
            break;
        }
        r -= t.weight;
    }
    if (*chosen->name) {
        auto* w = window_.findChild<QWidget*>(QString::fromLatin1(chosen->name));
        *pos = QPoint(pick(std::max(w->width(), 1)), pick(std::max(w->height(), 1)));
        return w;
    }
    // Anywhere in the window: the deepest control under the point takes it.
    const QPoint at(pick(window_.width()), pick(window_.height()));
    QWidget* w = window_.childAt(at);
    if (w == nullptr) {
        *pos = at;
        return &window_;
    }
    if (w->objectName() == QLatin1String("exitcmd") || qobject_cast<QPushButton*>(w->parent()))
        return nullptr;
    *pos = w->mapFrom(&window_, at);
    return w;
}

QString SessionPlayer::click(bool twice) {
    QPoint pos;
    QWidget* w = randomTarget(&pos);
    if (w == nullptr)
        return afterEvent(QStringLiteral("click on the exit button skipped"));
    const QString what =
        QStringLiteral("%1 %2 at (%3,%4)")
            .arg(twice ? QStringLiteral("double-click") : QStringLiteral("click"), name(w))
            .arg(pos.x())
            .arg(pos.y());
    const Event event = isAbort(w) ? Event::Abort : Event::Other;
    if (!twice) {
        WindowDriver::click(w, pos);
        return afterEvent(what, event);
    }
    // A double-click may open the About box, which the driver closes again.
    const bool about = WindowDriver::doubleClickForBox(w, pos).has_value();
    if (about)
        ++figures_.aboutBoxes;
    return afterEvent(what + (about ? QStringLiteral(", About box closed") : QString()), event);
}

QString SessionPlayer::randomText() {
    if (chance(50))
        return hostileTexts.at(pick(static_cast<int>(hostileTexts.size())));
    QString t;
    for (int n = pick(9); n > 0; --n)
        t += alphabet.at(pick(static_cast<int>(alphabet.size())));
    return t;
}

QString SessionPlayer::typeText() {
    const QString text = randomText();
    const QString what =
        QStringLiteral("type %1 into %2").arg(describe(text), name(driver_.keyTarget()));
    driver_.typeIntoFocus(text);
    return afterEvent(what);
}

QString SessionPlayer::pasteText() {
    const QString text =
        chance(50) ? pastedTexts.at(pick(static_cast<int>(pastedTexts.size()))) : randomText();
    const QString what =
        QStringLiteral("paste %1 into %2").arg(describe(text), name(driver_.keyTarget()));
    QGuiApplication::clipboard()->setText(text);
    driver_.sendKey(Qt::Key_V, Qt::ControlModifier);
    return afterEvent(what);
}

QString SessionPlayer::pressKey() {
    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* label;
    };
    static const std::array keys{
        Key{Qt::Key_Tab, {}, "Tab"},
        Key{Qt::Key_Tab, {}, "Tab"},
        Key{Qt::Key_Tab, {}, "Tab"},
        Key{Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
        Key{Qt::Key_Backspace, {}, "Backspace"},
        Key{Qt::Key_Delete, {}, "Delete"},
        Key{Qt::Key_Home, {}, "Home"},
        Key{Qt::Key_End, {}, "End"},
        Key{Qt::Key_Left, {}, "Left"},
        Key{Qt::Key_Right, {}, "Right"},
        Key{Qt::Key_Space, {}, "Space"},
        Key{Qt::Key_Space, {}, "Space"},
        Key{Qt::Key_Return, {}, "Return"},
        Key{Qt::Key_Escape, {}, "Escape"},
        Key{Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},
        Key{Qt::Key_Z, Qt::ControlModifier, "Ctrl+Z"},
        Key{Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+Z"},
        Key{Qt::Key_Up, {}, "Up"},
        Key{Qt::Key_Down, {}, "Down"},
    };
    const Key& k = keys.at(pick(static_cast<int>(keys.size())));
    QWidget* target = driver_.keyTarget();
    // Space on the exit button would end the program.
    if (k.key == Qt::Key_Space && target->objectName() == QLatin1String("exitcmd"))
        return afterEvent(QStringLiteral("Space on the exit button skipped"));
    const QString what = QStringLiteral("key %1 on %2").arg(QLatin1String(k.label), name(target));
    const bool presses = k.key == Qt::Key_Space && k.mods == Qt::NoModifier;
    const Event event = presses && isAbort(target) ? Event::Abort : Event::Other;
    driver_.sendKey(k.key, k.mods);
    return afterEvent(what, event);
}

QString SessionPlayer::tickBurst() {
    // Mostly a few ticks; now and then enough to land many balls or end a run.
    // A loop tick is a whole fast run, so loop ticks come a few at a time.
    const int r = pick(100);
    int count = r < 70 ? 1 + pick(8) : r < 95 ? 1 + pick(300) : 1 + pick(5000);
    if (window_.fastTimmy().isEnabled())
        count = 1 + count % 4;
    int delivered = 0;
    for (; delivered < count; ++delivered) {
        if (window_.timmy().isEnabled()) {
            window_.form().Timmy_Timer();
            if (window_.state().needsReset)
                ++figures_.finishedRuns;
        } else if (window_.fastTimmy().isEnabled()) {
            window_.form().FastTimmy_Timer();
        } else {
            break;
        }
        ++figures_.ticks;
        if (QString e = rules_.check(); !e.isEmpty()) {
            log_ << QStringLiteral("%1 ticks, broken at tick %2").arg(count).arg(delivered + 1);
            return e;
        }
    }
    return afterEvent(QStringLiteral("%1 ticks (%2 delivered)").arg(count).arg(delivered));
}

QString SessionPlayer::resizeWindow() {
    const QSize least = window_.minimumSize();
    QSize size;
    const int r = pick(3);
    if (r == 0) // below the minimum, on either axis or both
        size = QSize(pick(2) ? 1 + pick(least.width()) : least.width() + pick(300),
                     pick(2) ? 1 + pick(least.height()) : least.height() + pick(300));
    else if (r == 1) // large
        size = QSize(800 + pick(800), 600 + pick(400));
    else
        size = QSize(least.width() + pick(400), least.height() + pick(300));
    const QSize before = window_.size();
    driver_.resizeInner(size);
    return afterEvent(QStringLiteral("resize to %1x%2, now %3x%4")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(window_.width())
                          .arg(window_.height()),
                      window_.size() != before ? Event::Resize : Event::Other);
}

QString SessionPlayer::minimise() {
    window_.showMinimized();
    WindowDriver::settle();
    minimised_ = true;
    return afterEvent(QStringLiteral("minimise"), Event::Resize);
}

QString SessionPlayer::restore() {
    window_.showNormal();
    minimised_ = false;
    driver_.makeActive();
    return afterEvent(QStringLiteral("restore"), Event::Resize);
}

bool SessionPlayer::isAbort(const QWidget* target) const {
    // Only an enabled abort button aborts; a disabled one takes no click.
    return target && target->objectName() == QLatin1String("fullstopcmd") && target->isEnabled();
}

QString SessionPlayer::afterEvent(const QString& what, Event event) {
    WindowDriver::settle();
    const QString e = rules_.check(event);
    lastNeedsReset_ = window_.state().needsReset;
    log_ << what + QStringLiteral(" -> ") + QLatin1String(runStateName(rules_.runState()));
    return e;
}

} // namespace kug::test
