// SPDX-License-Identifier: GPL-3.0-or-later
// The window's handlers without a toolkit, through a view that records what
// they do: start-up from whatever the view kept, the run states with their
// controls and timers, the focus that never falls to exit or abort, the order
// of ticks and events on a scripted clock, a resize below the minimum, the
// fields' validation with its consequences, the About box and exit; and the
// one copy of the window's design, which the tables are checked against.

#include "app/description_hold.h"
#include "app/form.h"
#include "recording_surface.h"
#include "run_rows.h"
#include "scripted_random.h"

#include <QTest>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

using namespace kug;
using kug::test::RecordingSurface;
using kug::test::rowNamed;
using kug::test::rowText;
using kug::test::ScriptedRandom;

namespace {

// A view that keeps what the form tells it. Its controls start as a browser
// may keep them from an earlier page: every one enabled and every box ticked,
// or every one disabled. The drawing area's board is the placed box inside a
// 2-pixel border.
class FakeView final : public FormView {
public:
    explicit FakeView(Extent inner, bool keptOn) : inner(inner) {
        for (std::size_t i = 0; i < controlCount; ++i)
            if (!keptOn)
                disabled.insert(controlAt(i));
            else if (controlTable[i].kind == ControlKind::CheckBox)
                checked.insert(controlAt(i));
    }

    void setEnabled(Control c, bool on) override {
        if (on)
            disabled.erase(c);
        else
            disabled.insert(c);
    }
    bool holdsFocus(Control c) const override {
        return focus == c || (c == Control::params && focusInParams);
    }
    void setFocus(Control c) override {
        focus = c;
        focusInParams = false;
    }
    void place(Control c, const Box& b) override { boxes[c] = b; }
    // Captions that fit their designed boxes.
    Extent captionNeed(Control) const override { return {}; }
    int contentsTop(Control) const override { return 0; }
    std::string text(Control f) const override { return texts.count(f) ? texts.at(f) : ""; }
    void setText(Control f, const std::string& t) override { texts[f] = t; }
    void selectAll(Control f) override { selected = f; }
    bool isChecked(Control b) const override { return checked.count(b) > 0; }
    void setChecked(Control b, bool on) override {
        if (on)
            checked.insert(b);
        else
            checked.erase(b);
    }
    std::int64_t now() const override { return clockNs; }
    void wakeAt(std::optional<std::int64_t>) override {}
    Extent innerSize() const override { return inner; }
    void resizeInner(Extent size) override { inner = size; }
    void setMinimumInner(Extent size) override { minimum = size; }
    bool isMinimized() const override { return minimized; }
    void setTitle(const std::string& t) override { title = t; }
    Surface& board() override {
        const Box& a = boxes[Control::simarea];
        area = std::make_unique<RecordingSurface>(a.w - 4, a.h - 4);
        return *area;
    }
    void describeBoard(const std::string& t) override { description = t; }
    void showAbout(const std::string& t, const std::string& text) override {
        about.push_back(t + "|" + text);
        if (modalLoop)
            modalLoop();
    }
    void quit() override { ++quits; }

    bool enabled(Control c) const { return disabled.count(c) == 0; }

    Extent inner;
    Extent minimum;
    std::set<Control> disabled;
    std::optional<Control> focus;
    bool focusInParams = false; // a field of the parameter frame has the focus
    std::map<Control, Box> boxes;
    std::map<Control, std::string> texts;
    std::optional<Control> selected;
    std::set<Control> checked;
    std::int64_t clockNs = 0;
    bool minimized = false;
    std::string title, description;
    std::vector<std::string> about;
    std::function<void()> modalLoop; // what happens while the About box is open
    int quits = 0;
    std::unique_ptr<RecordingSurface> area;
};

// A form on the designed window, started up as the window does it.
struct Started {
    explicit Started(bool keptOn = true, std::vector<double> script = {0.7, 0.2, 0.9, 0.4})
        : view(Extent{}, keptOn), form(view, std::make_unique<ScriptedRandom>(std::move(script))) {
        form.start();
    }
    FakeView view;
    Form form;
};

// The row the form shows.
QString row(const Started& s) {
    const TickClock& clock = s.form.clock();
    return rowText(
        s.form.runState(), [&s](const RunControl& c) { return s.view.enabled(c.control); },
        clock.isEnabled(Timer::Timmy), clock.isEnabled(Timer::FastTimmy),
        s.form.state().needsReset);
}

// The one copy of the window's design that the tests keep, which design()
// checks the tables against row by row. Each control in the order the window
// creates it: name, kind, container, caption or designed text (in brackets
// where not shown), place and size in twips, tab index, initial state, then
// what a screen reader calls it, or the field a label names. Then each run
// state (its controls on, its timer, needsReset), the timers as designed, and
// the tab chain.
const QStringList designed{
    "gumbi | Frame | - | (gumbi) | 3720 3600 2175 735 | 8 | on",
    "exitcmd | PictureButton | gumbi | - | 1680 120 450 450 | 12 | on | Izlaz",
    "fullstopcmd | PictureButton | gumbi | - | 1020 120 450 450 | 11 | off | Zaustavi",
    "stopcmd | PictureButton | gumbi | - | 570 120 450 450 | 10 | off | Pauza",
    "startcmd | PictureButton | gumbi | - | 120 120 450 450 | 9 | on | Pokreni",
    "simarea | DrawingArea | - | - | 0 0 3615 3855 | 1 | on | Ploča",
    "params | Frame | - | Parametri | 3720 0 2175 3615 | 0 | on",
    "petljachk | CheckBox | params | U petlji | 360 2520 1335 255 | 17 | off",
    "tragchk | CheckBox | params | Kuglica ostavlja trag | 120 3000 1815 195 | 16 | on",
    "brzachk | CheckBox | params | Brza simulacija | 120 2280 1815 255 | 15 | on",
    "Check1 | CheckBox | params | Zvuk | 120 3240 735 255 | 14 | off",
    "teorijskachk | CheckBox | params | Teorijska raspodjela | 120 1200 1815 255 | 13 | on",
    "brzinatxt | TextBox | params | Text3 | 1440 1680 615 375 | 6 | on",
    "kuglicetxt | TextBox | params | Text2 | 1440 720 615 375 | 3 | on",
    "stupcitxt | TextBox | params | Text1 | 1440 240 615 375 | 2 | on",
    "brzinalbl | Label | params | Brzina simulacije: | 120 1680 1215 375 | 7 | on | for brzinatxt",
    "kuglicelbl | Label | params | Broj kuglica: | 120 720 1215 375 | 5 | on | for kuglicetxt",
    "stupcilbl | Label | params | Broj stupaca: | 120 240 1215 375 | 4 | on | for stupcitxt",
    "Idle | startcmd params | - | needsReset",
    "Running | stopcmd fullstopcmd | Timmy | -",
    "Paused | startcmd fullstopcmd | - | -",
    "Looping | fullstopcmd | FastTimmy | -",
    "Timmy | 0 ms | on",
    "FastTimmy | 100 ms | off",
    "simarea stupcitxt kuglicetxt brzinatxt startcmd stopcmd fullstopcmd exitcmd teorijskachk "
    "Check1 brzachk tragchk petljachk",
};

} // namespace

Q_DECLARE_METATYPE(kug::Extent)

class TestForm : public QObject {
    Q_OBJECT
private slots:
    void startUp_data();
    void startUp();
    void runStates_data();
    void runStates();
    void resizeBelowMinimum_data();
    void resizeBelowMinimum();
    void fields_data();
    void fields();
    void aboutAndExit();
    void design();
    void descriptionHold_data();
    void descriptionHold();
};

void TestForm::startUp_data() {
    QTest::addColumn<bool>("keptOn");
    QTest::newRow("kept enabled and ticked") << true;
    QTest::newRow("kept disabled") << false;
}

// Start-up gives every control its designed state, whatever the view kept.
void TestForm::startUp() {
    QFETCH(bool, keptOn);
    Started s(keptOn);
    const FakeView& v = s.view;
    QCOMPARE(v.texts.at(Control::stupcitxt), std::string("2"));
    QCOMPARE(v.texts.at(Control::kuglicetxt), std::string("1"));
    QCOMPARE(v.texts.at(Control::brzinatxt), std::string("1"));
    QCOMPARE(s.form.clock().interval(Timer::Timmy), 100);
    QCOMPARE(s.form.clock().interval(Timer::FastTimmy), designOf(Timer::FastTimmy).intervalMs);
    QCOMPARE(v.title, std::string("Kuglovica"));
    QCOMPARE(v.boxes.at(Control::params), (Box{246, 5, 145, 241}));
    QCOMPARE(v.boxes.at(Control::gumbi), (Box{246, 246, 145, 49}));
    QCOMPARE(v.boxes.at(Control::simarea), (Box{0, 0, 236, 355}));
    QCOMPARE(v.boxes.at(Control::exitcmd), pixels(designOf(Control::exitcmd).designed));
    // The worked example: a board of 232 x 351.
    QCOMPARE(s.form.state().cellSize, Integer{21});
    QCOMPARE(s.form.state().maxBalls, Integer{250});
    QCOMPARE(s.form.state().barUnit, Integer{167});
    QCOMPARE(v.description, std::string("Stupci: 0, 0"));
    QCOMPARE(row(s), rowText(rowOf(RunState::Idle)));
    for (std::size_t i = 0; i < controlCount; ++i) {
        QCOMPARE(v.enabled(controlAt(i)), controlTable[i].enabled);
        QCOMPARE(v.isChecked(controlAt(i)), controlTable[i].checked);
    }
    QCOMPARE(v.inner, (Extent{396, 355}));
    QCOMPARE(v.minimum, (Extent{396, 300}));
}

// Each step is a handler; after it the row must be the state's, and a
// control that was disabled while it held the focus has handed the focus to
// the drawing area. A step may come at a moment of the scripted clock
// ("pause@10.5", in ms), and a state name the ticks run by then ("Paused:10"):
// every handler of a user's event runs the ticks due by its moment first.
void TestForm::runStates_data() {
    QTest::addColumn<bool>("fast");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("states");
    const auto add = [](const char* name, bool fast, bool loop, const char* steps,
                        const char* states) {
        QTest::newRow(name) << fast << loop << QString::fromLatin1(steps).split(' ')
                            << QString::fromLatin1(states).split(' ');
    };
    // A step on a disabled button does nothing, as a click on it does not.
    add("idle, start: running", false, false, "start", "Running");
    add("running, pause: paused", false, false, "start pause", "Running Paused");
    add("paused, start: running", false, false, "start pause start", "Running Paused Running");
    add("running, abort: idle", false, false, "start abort", "Running Idle");
    add("paused, abort: idle", false, false, "start pause abort", "Running Paused Idle");
    add("abort, start again: running", false, false, "start abort start", "Running Idle Running");
    add("running: start is disabled", false, false, "start start", "Running Running");
    add("idle: pause is disabled", false, false, "pause", "Idle");
    add("idle: abort is disabled", false, false, "abort", "Idle");
    add("running, last ball lands: idle", false, false, "start end", "Running Idle");
    add("running, resize: idle", false, false, "start resize", "Running Idle");
    add("paused, resize: idle", false, false, "start pause resize", "Running Paused Idle");
    add("fast, start: idle", true, false, "start", "Idle");
    add("fast twice: idle", true, false, "start start", "Idle Idle");
    add("fast and loop, start: looping", true, true, "start", "Looping");
    add("looping, tick: looping", true, true, "start tick", "Looping Looping");
    add("looping: pause is disabled", true, true, "start pause", "Looping Looping");
    add("looping, abort: idle", true, true, "start abort", "Looping Idle");
    add("looping, abort, start: looping", true, true, "start abort start", "Looping Idle Looping");
    add("looping, resize: idle", true, true, "start resize", "Looping Idle");
    // At speed 100 a tick comes every millisecond; the one ball lands at 35 ms.
    add("pause: the ticks due first", false, false, "speed start pause@10.5 wake@40",
        "Idle Running Paused:10 Paused:10");
    add("abort: the ticks due, then none", false, false, "speed start abort@20.5 wake@60",
        "Idle Running Idle:20 Idle:20");
    add("pause after the landing fell due", false, false, "speed start pause@35.5",
        "Idle Running Idle:35");
    add("a wake-up's batch ends with the run", false, false, "speed start wake@60 wake@90",
        "Idle Running Idle:35 Idle:35");
    add("resize: the ticks due first", false, false, "speed start resize@5.5",
        "Idle Running Idle:5");
    // The About box stays open 7 ms, and the ticks go on meanwhile.
    add("About box: ticks go on", false, false, "speed start about@5.5", "Idle Running Running:12");
}

void TestForm::runStates() {
    QFETCH(bool, fast);
    QFETCH(bool, loop);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, states);
    Started s;
    if (fast)
        s.view.checked.insert(Control::brzachk);
    if (loop)
        s.view.checked.insert(Control::petljachk);
    s.view.modalLoop = [&] {
        s.view.clockNs += 7'000'000;
        s.form.clock().runDue();
    };
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QStringList at = steps[i].split('@');
        const QString& step = at[0];
        if (at.size() > 1)
            s.view.clockNs = std::llround(at[1].toDouble() * 1e6);
        // The focus rests on the button about to be pressed, as after a
        // click, and for a resize on the pause button.
        const std::map<QString, Control> pressed{{"start", Control::startcmd},
                                                 {"pause", Control::stopcmd},
                                                 {"abort", Control::fullstopcmd},
                                                 {"resize", Control::stopcmd}};
        const std::optional<Control> held = pressed.count(step) && s.view.enabled(pressed.at(step))
                                                ? std::optional<Control>(pressed.at(step))
                                                : std::nullopt;
        if (held)
            s.view.setFocus(*held);
        if (pressed.count(step) && !held && step != "resize")
            ; // a disabled button cannot be pressed
        else if (step == "start" || step == "pause" || step == "abort")
            QVERIFY(s.form.handle(pressed.at(step), UserEvent::Click));
        else if (step == "resize")
            s.form.Form_Resize();
        else if (step == "tick")
            s.form.FastTimmy_Timer();
        else if (step == "speed") {
            s.view.texts[Control::brzinatxt] = "100";
            s.form.brzinatxt_LostFocus();
        } else if (step == "wake")
            s.form.clock().runDue();
        else if (step == "about")
            s.form.Form_DblClick();
        else
            for (int t = 0; t < 100000 && !s.form.state().needsReset; ++t)
                s.form.Timmy_Timer();
        const QStringList state = states[i].split(':');
        QCOMPARE(row(s), rowNamed(state[0]));
        if (state.size() > 1)
            QCOMPARE(s.form.clock().ticksRun(), state[1].toULongLong());
        if (s.view.focus && !s.view.enabled(*s.view.focus))
            QFAIL(
                qPrintable(QStringLiteral("the focus stayed on a disabled control after ") + step));
        if (held && !s.view.enabled(*held))
            QVERIFY(s.view.focus == Control::simarea);
    }
}

// Below the minimum the window is enlarged, and laid out and drawn in the
// same call; a minimised window is neither.
void TestForm::resizeBelowMinimum_data() {
    QTest::addColumn<Extent>("asked");
    QTest::addColumn<Extent>("result");
    QTest::addColumn<bool>("minimised");
    QTest::newRow("too narrow") << Extent{300, 400} << Extent{396, 400} << false;
    QTest::newRow("too low") << Extent{500, 200} << Extent{500, 300} << false;
    QTest::newRow("the minimum") << Extent{396, 300} << Extent{396, 300} << false;
    QTest::newRow("minimised") << Extent{100, 100} << Extent{100, 100} << true;
}

void TestForm::resizeBelowMinimum() {
    QFETCH(Extent, asked);
    QFETCH(Extent, result);
    QFETCH(bool, minimised);
    Started s;
    s.view.boxes.clear();
    s.view.inner = asked;
    s.view.minimized = minimised;
    s.form.Form_Resize();
    QCOMPARE(s.view.inner, result);
    QCOMPARE(row(s), rowText(rowOf(RunState::Idle)));
    QCOMPARE(s.view.boxes.count(Control::simarea), std::size_t(minimised ? 0 : 1));
    if (!minimised) {
        QCOMPARE(s.view.boxes.at(Control::params).right(), result.w - 5);
        QCOMPARE(s.view.boxes.at(Control::simarea), (Box{0, 0, result.w - 160, result.h}));
    }
}

// Leaving a field: its text corrected, the accepted value and what follows.
void TestForm::fields_data() {
    QTest::addColumn<int>("field"); // Control
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("barUnit");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("countsKept");
    const auto add = [](const char* name, Control f, const char* typed, const char* shown,
                        int columns, int barUnit, int interval, bool kept) {
        QTest::newRow(name) << int(f) << typed << shown << columns << barUnit << interval << kept;
    };
    add("columns", Control::stupcitxt, "9", "9", 9, 167, 100, false);
    add("columns unchanged clear too", Control::stupcitxt, "2", "2", 2, 167, 100, false);
    add("balls, another count", Control::kuglicetxt, "3.5", "4", 2, 84, 100, false);
    add("balls, the same count", Control::kuglicetxt, "1", "1", 2, 167, 100, true);
    add("balls, the same count written again", Control::kuglicetxt, "1.0", "1", 2, 167, 100, true);
    add("balls, the most", Control::kuglicetxt, "250", "250", 2, 1, 100, false);
    add("speed", Control::brzinatxt, "1e2", "100", 2, 167, 1, true);
}

void TestForm::fields() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, columns);
    QFETCH(int, barUnit);
    QFETCH(int, interval);
    QFETCH(bool, countsKept);
    Started s;
    s.form.state().binCounts(1) = 3; // kept from a finished run
    const auto f = Control(field);
    s.view.texts[f] = typed.toStdString();
    QVERIFY(s.form.handle(f, UserEvent::LostFocus));
    QCOMPARE(QString::fromStdString(s.view.texts.at(f)), shown);
    QCOMPARE(s.form.settings().columns, columns);
    if (f == Control::stupcitxt)
        QCOMPARE(s.form.state().binCounts.upper(), columns); // made anew
    QCOMPARE(int(s.form.state().barUnit), barUnit);
    QCOMPARE(s.form.clock().interval(Timer::Timmy), interval);
    QCOMPARE(s.form.state().binCounts(1) == 3, countsKept);
}

// Only the drawing area and the window's bare surface open the About box on a
// double-click; frames, labels and the unhandled boxes have no handlers.
void TestForm::aboutAndExit() {
    Started s;
    QVERIFY(s.form.handle(Control::simarea, UserEvent::DblClick));
    QVERIFY(s.form.handle(std::nullopt, UserEvent::DblClick));
    for (Control c : {Control::params, Control::gumbi, Control::brzinalbl, Control::tragchk})
        QVERIFY(!s.form.handle(c, UserEvent::DblClick) && !s.form.handle(c, UserEvent::Click));
    QCOMPARE(s.view.about.size(), std::size_t(2));
    QCOMPARE(s.view.about[0], std::string("Kuglovica|Simulator Kuglovice,\r\nverzija 1"));
    QCOMPARE(s.view.quits, 0);
    QVERIFY(s.form.handle(Control::exitcmd, UserEvent::Click));
    QCOMPARE(s.view.quits, 1);
}

void TestForm::design() {
    constexpr const char* kinds[] = {"Frame",    "PictureButton", "DrawingArea",
                                     "CheckBox", "TextBox",       "Label"};
    QStringList rows;
    for (const ControlDesign& c : kug::controlTable) {
        const Box& b = c.designed;
        const QString caption = QString::fromUtf8(c.caption);
        QStringList row{c.name,
                        kinds[int(c.kind)],
                        c.container ? designOf(*c.container).name : "-",
                        caption.isEmpty() ? "-"
                        : c.captionShown  ? caption
                                          : "(" + caption + ")",
                        QStringLiteral("%1 %2 %3 %4").arg(b.x).arg(b.y).arg(b.w).arg(b.h),
                        QString::number(c.tabIndex),
                        QString(c.enabled ? "on" : "off") + (c.checked ? " ticked" : "")};
        if (*c.accessibleName)
            row << QString::fromUtf8(c.accessibleName);
        if (c.names)
            row << QStringLiteral("for ") + designOf(*c.names).name;
        rows << row.join(" | ");
    }
    for (const RunStateRow& r : runStateRows)
        rows << rowText(r);
    for (const TimerDesign& t : designedTimers)
        rows << QStringLiteral("%1 | %2 ms | %3")
                    .arg(t.timer == Timer::Timmy ? "Timmy" : "FastTimmy")
                    .arg(t.intervalMs)
                    .arg(t.enabled ? "on" : "off");
    QStringList chain;
    for (Control c : kug::tabChain())
        chain << designOf(c).name;
    rows << chain.join(' ');
    QCOMPARE(rows, designed);
}

// The board's description as assistive technology gets it: each step offers
// a text or ends the hold; each result is what was published then ("-" for
// nothing), with "*" while the hold lasts.
void TestForm::descriptionHold_data() {
    QTest::addColumn<QString>("steps"); // and after " = ", what they published
    QTest::newRow("the first at once") << "A = A*";
    QTest::newRow("the last of a hold after it") << "A B C end end = A* -* -* C* -";
    QTest::newRow("an unchanged text starts no hold") << "A end A B = A* - - B*";
    QTest::newRow("back to the text shown") << "A B A end = A* -* -* -";
}

void TestForm::descriptionHold() {
    QFETCH(QString, steps);
    const QStringList given = steps.split(" = ");
    DescriptionHold hold;
    QStringList seen;
    for (const QString& step : given[0].split(' ')) {
        const auto text = step == "end" ? hold.release() : hold.offer(step.toStdString());
        seen << QString::fromStdString(text.value_or("-")) + (hold.isHeld() ? "*" : "");
    }
    QCOMPARE(seen.join(' '), given[1]);
}

QTEST_APPLESS_MAIN(TestForm)
#include "test_form.moc"
