// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the board back from the drawing area's picture: where the bin walls
// stand and how tall a bar of a given colour is in a bin.

#include "desktop/image_surface.h"

#include <QImage>

#include <algorithm>
#include <vector>

namespace kug::test {

// The board's colours as the user sees them, independent of the board state.
constexpr Long black = rgb(0, 0, 0);            // pegs, walls and floors
constexpr Long red = rgb(255, 0, 0);            // the ball and the histogram
constexpr Long lightGreen = rgb(150, 200, 150); // the theoretical bars

inline bool isColour(const QImage& image, int x, int y, Long colour) {
    return (image.pixel(x, y) & 0xFFFFFFu) == (ImageSurface::toQColor(colour).rgb() & 0xFFFFFFu);
}

// Longest unbroken vertical run of `colour` in column x.
inline int longestRunInColumn(const QImage& image, int x, Long colour) {
    int longest = 0, run = 0;
    for (int y = 0; y < image.height(); ++y) {
        run = isColour(image, x, y, colour) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// The bin walls, left to right: the tallest vertical lines of the picture.
// Pegs, floors and the text line are far shorter than a wall (8 units).
inline std::vector<int> binWalls(const QImage& image, Long lineColour) {
    std::vector<int> runs(static_cast<std::size_t>(image.width()));
    int tallest = 0;
    for (int x = 0; x < image.width(); ++x) {
        runs[static_cast<std::size_t>(x)] = longestRunInColumn(image, x, lineColour);
        tallest = std::max(tallest, runs[static_cast<std::size_t>(x)]);
    }
    std::vector<int> walls;
    bool inside = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool wall = tallest > 0 && runs[static_cast<std::size_t>(x)] * 4 >= tallest * 3;
        if (wall && !inside)
            walls.push_back(x);
        inside = wall;
    }
    return walls;
}

inline int binsDrawn(const QImage& image, Long lineColour) {
    const auto walls = binWalls(image, lineColour);
    return walls.empty() ? 0 : static_cast<int>(walls.size()) - 1;
}

// Pixels of `colour` in the middle column of bin k (from 1), given the walls.
inline int barHeight(const QImage& image, const std::vector<int>& walls, int k, Long colour) {
    const int x =
        (walls.at(static_cast<std::size_t>(k - 1)) + walls.at(static_cast<std::size_t>(k))) / 2;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        count += isColour(image, x, y, colour) ? 1 : 0;
    return count;
}

inline int pixelsOf(const QImage& image, Long colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += isColour(image, x, y, colour) ? 1 : 0;
    return count;
}

} // namespace kug::test
