// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench_window.h"

#include "app/param_field.h"

#include <QApplication>
#include <QCheckBox>
#include <QWindow>

#include <memory>

#include <sys/resource.h>
#include <time.h>

namespace kug::bench {

void WindowDriver::show() {
    w_.show();
    // Wait for the first expose without a timer of our own: the window
    // system's events arrive through the normal loop.
    for (int i = 0; i < 2000 && !(w_.windowHandle() && w_.windowHandle()->isExposed()); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        struct timespec pause {
            0, 1'000'000
        };
        nanosleep(&pause, nullptr);
    }
    settle();
}

void WindowDriver::resizeInner(QSize size) {
    w_.resize(size);
    settle();
}

void WindowDriver::setColumns(int columns) {
    w_.findChild<ParamField*>(QStringLiteral("stupcitxt"))->setText(QString::number(columns));
    w_.stupcitxt_LostFocus();
}

void WindowDriver::setBalls(int balls) {
    if (balls <= 0)
        w_.kuglicetxt_DblClick();
    else
        w_.findChild<ParamField*>(QStringLiteral("kuglicetxt"))->setText(QString::number(balls));
    w_.kuglicetxt_LostFocus();
}

void WindowDriver::setSpeed(int speed) {
    w_.findChild<ParamField*>(QStringLiteral("brzinatxt"))->setText(QString::number(speed));
    w_.brzinatxt_LostFocus();
}

void WindowDriver::setChecked(const char* name, bool on) {
    auto* box = w_.findChild<QCheckBox*>(QString::fromLatin1(name));
    if (box->isChecked() != on)
        box->click(); // runs the switch's click handler like a user's click
}

void WindowDriver::setFastMode(bool on) {
    setChecked("brzachk", on);
}
void WindowDriver::setLoop(bool on) {
    setChecked("petljachk", on);
}
void WindowDriver::setTheory(bool on) {
    setChecked("teorijskachk", on);
}

void WindowDriver::start() {
    w_.startcmd_Click();
}

void WindowDriver::abort() {
    w_.fullstopcmd_Click();
}

void WindowDriver::settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

namespace {
std::unique_ptr<MainWindow> shared;
QSize startUpSize;
} // namespace

MainWindow& sharedWindow(QSize size) {
    if (!shared) {
        shared = std::make_unique<MainWindow>();
        startUpSize = shared->size();
        WindowDriver(*shared).show();
    }
    WindowDriver d(*shared);
    d.abort();
    d.setFastMode(false);
    d.setLoop(false);
    const QSize wanted = size.isEmpty() ? startUpSize : size;
    if (shared->size() != wanted)
        d.resizeInner(wanted);
    d.setColumns(benchColumns);
    d.setBalls(0);
    d.setSpeed(100);
    d.setTheory(true);
    WindowDriver::settle();
    return *shared;
}

void releaseSharedWindow() {
    shared.reset();
}

std::int64_t monotonicNs() {
    struct timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

long peakRssKb() {
    struct rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

std::int64_t cpuTimeNs() {
    struct timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

} // namespace kug::bench
