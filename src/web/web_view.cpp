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
    const DirtyRegion changed = board_.takeChanged();
    const std::optional<std::string> lines = textLinesChanged();
    if (changed.isEmpty() && !lines)
        return;
    std::int32_t* out = rects_.data();
    for (const raster::PixelRect& r : changed.rects()) {
        *out++ = r.left;
        *out++ = r.top;
        *out++ = r.right - r.left + 1;
        *out++ = r.bottom - r.top + 1;
    }
    kugjs_paint(reinterpret_cast<const std::uint8_t*>(board_.pixels()), board_.deviceWidth(),
                board_.deviceHeight(), rects_.data(), static_cast<int>(changed.rects().size()),
                lines ? lines->c_str() : nullptr);
}

} // namespace kug
