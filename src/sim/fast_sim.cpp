#include "sim/fast_sim.h"

#include "sim/animated_ball.h"

namespace kug {

void fastsim(BoardState& s, RandomSource& random, int columns, double balls, double scaleWidth) {
    s.binCounts.clearFirst(columns);
    s.ballsLeft = toInteger(balls);
    s.rowIndex = 0;
    const Integer centre = toInteger(scaleWidth / 2);
    while (s.ballsLeft > 0) {
        s.ballX = centre;
        for (int row = 1; row <= columns - 1; ++row) {
            s.hopDir = directionFor(random.next());
            s.ballX = intAdd(s.ballX, intMul(s.cellSize, s.hopDir));
            s.rowIndex = static_cast<Integer>(row);
        }
        const int bin = binFor(s.ballX, scaleWidth, columns, s.cellSize);
        if (s.binCounts.contains(bin))
            s.binCounts(bin) = intAdd(s.binCounts(bin), 1);
        s.ballsLeft = intAdd(s.ballsLeft, -1);
        s.rowIndex = 0;
    }
    s.ballX = centre;
}

} // namespace kug
