// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The web page's view of the form: the controls are the page's elements,
// reached through the small JavaScript view (js_view.h); the form's clock reads
// the page's clock and is woken by the page's animation frames; the board is
// drawn into a pixel buffer of its own, in the canvas's byte order, of which
// the page copies what changed to its canvas once a frame.

#include "app/description_hold.h"
#include "app/form_view.h"
#include "render/raster_surface.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kug {

class WebView final : public FormView {
public:
    // Tells the page the numbers of the user's events.
    WebView();

    // Whole device pixels per pixel of the board.
    void setScale(int scale);
    // Whether the form's clock wants another frame.
    bool wantsFrames() const { return wantsFrames_; }
    bool hasQuit() const { return quit_; }
    // Copies what changed on the board since the last paint to the page.
    void paint();
    // The board description's hold is over.
    void releaseDescription();

    void setEnabled(Control control, bool enabled) override;
    bool holdsFocus(Control control) const override;
    void setFocus(Control control) override;
    void place(Control control, const Box& box) override;
    std::string text(Control field) const override;
    void setText(Control field, const std::string& text) override;
    void selectAll(Control field) override;
    bool isChecked(Control box) const override;
    void setChecked(Control box, bool ticked) override;
    // The page's clock, in nanoseconds (the one requestAnimationFrame's times
    // are on); the frames come as long as the clock wants them.
    std::int64_t now() const override;
    void wakeAt(std::optional<std::int64_t> ns) override { wantsFrames_ = ns.has_value(); }
    Extent captionNeed(Control control) const override;
    int contentsTop(Control frame) const override;
    Extent innerSize() const override { return inner_; }
    void resizeInner(Extent size) override;
    void setMinimumInner(Extent size) override { minimum_ = size; }
    Extent minimumInner() const { return minimum_; }
    // Never minimised: a page cannot tell its window minimised from covered,
    // on another desktop or locked; hidden, it gets no frames and a run waits.
    bool isMinimized() const override { return false; }
    void setTitle(const std::string& title) override;
    Surface& board() override;
    void describeBoard(const std::string& text) override;
    void showAbout(const std::string& title, const std::string& text) override;
    void quit() override;

private:
    void syncBoard();
    void publish(const std::optional<std::string>& description);
    // The board's text lines for the page when they changed since the last paint.
    std::optional<std::string> textLinesChanged();

    RasterSurface board_{rgb(255, 255, 255), RasterSurface::Order::Rgba};
    Box area_;
    Extent inner_;
    Extent minimum_;
    int scale_ = 1;
    bool quit_ = false;
    bool wantsFrames_ = false;
    DescriptionHold description_;
    std::string shownText_;
    std::array<std::int32_t, 4 * DirtyRegion::maxRects> rects_{}; // x, y, width, height each
};

} // namespace kug
