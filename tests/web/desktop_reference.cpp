// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop program shows for a run, as the web page's tests compare
// it: the real window on Qt's offscreen platform with the program's own
// random stream, set up and run as a user would right after start-up, its
// board's picture written as a PPM and its description printed.
//
//   desktop_reference OUT.ppm [--board WxH] [--columns N] [--balls N]
//                     [--speed N] [--theory] [--trail] [--fast] [--start]
//
// --board resizes the window so that the drawing area's inside is W x H;
// --start presses play, and an animated run is ticked to its end at once.
// Prints "board WxH", "maxBalls N", then the board's description, line by
// line. Scale the screen with QT_SCALE_FACTOR for a picture at scale 2.

#include "render/board_description.h"
#include "window_driver.h"

#include <QApplication>
#include <QCheckBox>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

using namespace kug;
using kug::test::WindowDriver;

namespace {

struct Options {
    const char* out = nullptr;
    QSize board;
    int columns = 0;
    int balls = 0;
    int speed = 0;
    bool theory = false;
    bool trail = false;
    bool fast = false;
    bool start = false;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--board" && hasValue) {
            int w = 0, h = 0;
            if (std::sscanf(argv[++i], "%dx%d", &w, &h) != 2)
                return false;
            o.board = QSize(w, h);
        } else if (a == "--columns" && hasValue) {
            o.columns = std::atoi(argv[++i]);
        } else if (a == "--balls" && hasValue) {
            o.balls = std::atoi(argv[++i]);
        } else if (a == "--speed" && hasValue) {
            o.speed = std::atoi(argv[++i]);
        } else if (a == "--theory") {
            o.theory = true;
        } else if (a == "--trail") {
            o.trail = true;
        } else if (a == "--fast") {
            o.fast = true;
        } else if (a == "--start") {
            o.start = true;
        } else if (!o.out && a.rfind("--", 0) != 0) {
            o.out = argv[i];
        } else {
            return false;
        }
    }
    return o.out != nullptr;
}

bool writePpm(const QImage& picture, const char* path) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y)
        std::fwrite(rgb.constScanLine(y), 1, static_cast<std::size_t>(rgb.width()) * 3, f);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: desktop_reference OUT.ppm [--board WxH] [--columns N] "
                             "[--balls N] [--speed N] [--theory] [--trail] [--fast] [--start]\n");
        return 2;
    }
    WindowDriver window{std::unique_ptr<RandomSource>()}; // the program's own stream
    window.showExposed();
    if (!o.board.isEmpty()) {
        const QSize now = window.area()->contentsRect().size();
        window.resizeInner(window->size() + (o.board - now));
    }
    if (o.columns)
        window.setColumns(o.columns);
    if (o.balls)
        window.setBalls(o.balls);
    if (o.speed)
        window.setSpeed(o.speed);
    window.setChecked("teorijskachk", o.theory);
    window.setChecked("tragchk", o.trail);
    window.setChecked("brzachk", o.fast);
    if (o.start) {
        window.start();
        // The animated run, tick by tick without waiting for the clock: the
        // ticks, not their timing, decide what it draws.
        for (long t = 0; t < 100'000'000 && !window.state().needsReset; ++t)
            window->form().Timmy_Timer();
    }
    const QSize board = window.area()->contentsRect().size();
    if (!writePpm(window.picture(), o.out)) {
        std::fprintf(stderr, "desktop_reference: cannot write %s\n", o.out);
        return 1;
    }
    const Switches switches{o.fast, false, o.trail, o.theory};
    std::printf("board %dx%d\nmaxBalls %d\n%s\n", board.width(), board.height(),
                int(window.state().maxBalls),
                boardDescription(window.state(), window->settings(), switches,
                                 designOf(Control::teorijskachk).caption)
                    .c_str());
    return 0;
}
