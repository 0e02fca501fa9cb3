// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where everything on the board stands in a drawing area W pixels wide, for
// n columns and the unit length c: the board stands on the axis x = W / 2
// (its fraction kept, so an odd W puts it on a half pixel); the first peg is
// 3c below the top, every further row 2c lower and one peg wider, its pegs 2c
// apart; the n bins are 2c wide and 8c tall, side by side from W / 2 - n c,
// their tops one c below the last row of pegs; a hop takes a ball c across
// and 2c down, from one peg onto the next. Drawing, the ball, the fast run and
// the parameter rules all take the board from here.
//
// Lengths of whole cells (2c, 8c) are 16-bit products, as the bins' sizes
// are kept; positions are doubles, exact for every area a screen can hold.

#include "state/integers.h"

namespace kug {

class BoardGeometry {
public:
    BoardGeometry(int areaWidth, int columns, Integer cell)
        : axis_(areaWidth / 2.0), columns_(columns), cell_(cell) {}

    // The board of `columns` fitted into an area of width x height: c from
    // the width, with a margin of 10 on either side of the bins, unless the
    // board would then be taller than the area.
    static BoardGeometry fitted(int areaWidth, int areaHeight, int columns);

    Integer cell() const { return cell_; }
    int columns() const { return columns_; }
    double axis() const { return axis_; }

    // Where every ball starts its fall: the axis rounded to a whole pixel,
    // halves to even.
    Integer startX() const { return toInteger(axis_); }

    // Peg j (from 1) of row `row` (from 1).
    double pegX(int row, int j) const { return axis_ + (2.0 * (j - 1) - (row - 1)) * cell_; }
    double pegY(int row) const { return (2.0 * (row - 1) + 3) * cell_; }

    double binsLeft() const { return axis_ - static_cast<double>(columns_) * cell_; }
    // Left wall of bin k (from 1).
    double binLeft(int k) const { return binsLeft() + (k - 1) * binWidth(cell_); }
    double binsTop() const { return pegY(columns_ - 1) + cell_; }
    double floorY() const { return binsTop() + wallHeight(cell_); }

    // The bin of a ball centred at x, from 1; kept within 1..columns.
    int binAt(double x) const;

    // Facts of the unit length alone.
    static Integer ballRadius(Integer cell) { return toInteger(cell / 3.0); }
    // Pegs are drawn with a third of the ball's radius, fraction kept.
    static double pegRadius(Integer ballRadius) { return ballRadius / 3.0; }
    static Integer binWidth(Integer cell) { return intMul(2, cell); }
    static Integer wallHeight(Integer cell) { return intMul(8, cell); }
    // What a bar can fill: it stands one pixel above the floor.
    static Integer binInnerHeight(Integer cell) { return intAdd(wallHeight(cell), -1); }
    // Height of a hop's end above its start, upward positive: a hop ends 2c
    // lower, on the peg of the next row.
    static Integer hopDrop(Integer cell) { return intMul(-2, cell); }

    // Rest limit of the fall: the ball's centre where its lowest point is one
    // pixel above the top of the first peg.
    double restLimit(Integer ballRadius) const {
        return pegY(1) - pegRadius(ballRadius) - ballRadius - 1;
    }

private:
    double axis_;
    int columns_;
    Integer cell_;
};

} // namespace kug
