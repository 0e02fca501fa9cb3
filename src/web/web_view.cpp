// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/web_view.h"

#include "app/form.h"
#include "web/js_view.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kug {

namespace {

int id(Control control) {
    return static_cast<int>(control);
}

} // namespace

WebView::WebView() {
    for (std::size_t i = 0; i < std::size(userEventNames); ++i)
        kugjs_nameEvent(static_cast<int>(i), userEventNames[i]);
}

std::int64_t WebView::now() const {
    return std::llround(emscripten_get_now() * 1e6);
}

Extent WebView::captionNeed(Control control) const {
    int need[2] = {0, 0};
    kugjs_captionNeed(id(control), need);
    return Extent{need[0], need[1]};
}

int WebView::contentsTop(Control frame) const {
    return kugjs_contentsTop(id(frame));
}

void WebView::setScale(int scale) {
    scale_ = std::max(scale, 1);
    // Made again at once at the new scale, keeping what it shows, as the
    // desktop's picture does on a screen of another scale.
    syncBoard();
}

void WebView::setEnabled(Control control, bool enabled) {
    kugjs_setEnabled(id(control), enabled);
}

bool WebView::holdsFocus(Control control) const {
    return kugjs_holdsFocus(id(control)) != 0;
}

void WebView::setFocus(Control control) {
    kugjs_setFocus(id(control));
}

void WebView::place(Control control, const Box& box) {
    if (designOf(control).kind == ControlKind::DrawingArea)
        area_ = box;
    kugjs_place(id(control), box.x, box.y, box.w, box.h);
}

std::string WebView::text(Control field) const {
    const int size = kugjs_textSize(id(field));
    std::string text(static_cast<std::size_t>(std::max(size, 1)), '\0');
    kugjs_copyText(id(field), text.data(), static_cast<int>(text.size()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

void WebView::setText(Control field, const std::string& text) {
    kugjs_setText(id(field), text.c_str());
}

void WebView::selectAll(Control field) {
    kugjs_selectAll(id(field));
}

bool WebView::isChecked(Control box) const {
    return kugjs_isChecked(id(box)) != 0;
}

void WebView::setChecked(Control box, bool ticked) {
    kugjs_setChecked(id(box), ticked);
}

void WebView::resizeInner(Extent size) {
    inner_ = size;
    // A window of another size may be scaled otherwise on the page, and its
    // board drawn at another scale.
    const int scale = kugjs_resizeInner(size.w, size.h);
    if (scale != scale_)
        setScale(scale);
}

void WebView::setTitle(const std::string& title) {
    kugjs_setTitle(title.c_str());
}

void WebView::syncBoard() {
    board_.setGeometry(area_.w - 2 * drawingAreaBorder, area_.h - 2 * drawingAreaBorder, scale_);
}

Surface& WebView::board() {
    // Sized to the area as it stands: the form may draw right after placing it.
    syncBoard();
    return board_;
}

void WebView::describeBoard(const std::string& text) {
    publish(description_.offer(text));
}

void WebView::releaseDescription() {
    publish(description_.release());
}

void WebView::publish(const std::optional<std::string>& description) {
    if (description)
        kugjs_describeBoard(description->c_str(), DescriptionHold::holdMs);
}

void WebView::showAbout(const std::string& title, const std::string& text) {
    kugjs_showAbout(title.c_str(), text.c_str());
}

void WebView::quit() {
    // The page no longer calls the form, nor its clock.
    quit_ = true;
    kugjs_quit();
}

std::optional<std::string> WebView::textLinesChanged() {
    const std::vector<std::string>& printed = board_.textLines();
    std::string lines;
    for (std::size_t i = 0; i < printed.size(); ++i)
        lines += (i == 0 ? "" : "\n") + printed[i];
    if (lines == shownText_)
        return std::nullopt;
    shownText_ = lines;
    return lines;
}

void WebView::paint() {
    const raster::PixelRect changed = board_.takeChanged();
    const std::optional<std::string> lines = textLinesChanged();
    if (changed.isEmpty() && !lines)
        return;
    const int s = board_.scale();
    int x = 0, y = 0, w = 0, h = 0;
    if (!changed.isEmpty()) {
        // Clipped to the board: a ball at its edge reports a margin beyond it.
        x = std::max(changed.left, 0) * s;
        y = std::max(changed.top, 0) * s;
        w = std::min((changed.right + 1) * s, board_.deviceWidth()) - x;
        h = std::min((changed.bottom + 1) * s, board_.deviceHeight()) - y;
        w = std::max(w, 0);
        h = std::max(h, 0);
    }
    rgba_.resize(static_cast<std::size_t>(w) * h * 4);
    std::uint8_t* out = rgba_.data();
    for (int row = y; row < y + h; ++row) {
        const std::uint32_t* in =
            board_.pixels() + static_cast<std::ptrdiff_t>(row) * board_.deviceWidth() + x;
        for (int col = 0; col < w; ++col, out += 4) {
            const std::uint32_t p = in[col];
            out[0] = static_cast<std::uint8_t>(p >> 16);
            out[1] = static_cast<std::uint8_t>(p >> 8);
            out[2] = static_cast<std::uint8_t>(p);
            out[3] = 0xFF;
        }
    }
    kugjs_paint(rgba_.data(), x, y, w, h, board_.deviceWidth(), board_.deviceHeight(),
                lines ? lines->c_str() : nullptr);
}

} // namespace kug
