// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A surface that records every drawing operation, for checking the board's
// drawing operation by operation.

#include "render/surface.h"

#include <string>
#include <vector>

namespace kug::test {

struct Op {
    enum Kind { Cls, FillStyle, FillColor, Circle, Line, Box, Print } kind;
    float a = 0, b = 0, c = 0, d = 0; // coordinates (circle: x, y, radius)
    long color = 0;                   // outline or line colour; style or fill colour
    std::string text;
};

class RecordingSurface final : public Surface {
public:
    RecordingSurface(int w, int h, Long back = 0xFFFFFF) : w_(w), h_(h), back_(back) {}

    int scaleWidth() const override { return w_; }
    int scaleHeight() const override { return h_; }
    Long backColor() const override { return back_; }
    void cls() override { ops.push_back({Op::Cls, 0, 0, 0, 0, 0, {}}); }
    void setFillStyle(int style) override { ops.push_back({Op::FillStyle, 0, 0, 0, 0, style, {}}); }
    void setFillColor(Long color) override {
        ops.push_back({Op::FillColor, 0, 0, 0, 0, color, {}});
    }
    void circle(Single x, Single y, Single r, Long color) override {
        ops.push_back({Op::Circle, x, y, r, 0, color, {}});
    }
    void line(Single x1, Single y1, Single x2, Single y2, Long color) override {
        ops.push_back({Op::Line, x1, y1, x2, y2, color, {}});
    }
    void box(Single x1, Single y1, Single x2, Single y2, Long color) override {
        ops.push_back({Op::Box, x1, y1, x2, y2, color, {}});
    }
    void print(const std::string& text) override {
        ops.push_back({Op::Print, 0, 0, 0, 0, 0, text});
    }

    std::vector<Op> of(Op::Kind kind) const {
        std::vector<Op> out;
        for (const Op& op : ops)
            if (op.kind == kind)
                out.push_back(op);
        return out;
    }

    std::vector<Op> ops;

private:
    int w_, h_;
    Long back_;
};

} // namespace kug::test
