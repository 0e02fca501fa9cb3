// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Kuglovica window: the designed controls (app/controls.h) shown with Qt,
// over the form that holds their handlers.

#include "app/form.h"
#include "app/form_view.h"

#include <QWidget>

#include <array>
#include <memory>

namespace kug {

class SimArea;
class WakeUps;

// The desktop's view of the form: the designed controls as widgets, the
// wake-ups of the form's clock, the About box and the window itself. What the
// handlers do is the form's; what belongs to Qt stays here: the widgets'
// events, focus reasons, selecting on release, double-clicks, the font and the
// window's state.
class MainWindow final : public QWidget, private FormView {
    Q_OBJECT
public:
    // `random` replaces the built-in source (tests script it).
    explicit MainWindow(std::unique_ptr<RandomSource> random = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    Form& form() { return form_; }
    const Form& form() const { return form_; }
    const BoardState& state() const { return form_.state(); }
    BoardState& state() { return form_.state(); }
    // The parameters as last accepted from the fields.
    const RunSettings& settings() const { return form_.settings(); }
    TickClock& clock() { return form_.clock(); }
    ClockTimer timmy() const { return ClockTimer(form_.clock(), Timer::Timmy); }
    ClockTimer fastTimmy() const { return ClockTimer(form_.clock(), Timer::FastTimmy); }

    // The widget's own, beside the view's of the same names.
    using QWidget::setEnabled;
    using QWidget::setFocus;
    // The widget's, which the view's answers too.
    bool isMinimized() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void createControls();
    QWidget* createControl(const ControlDesign& design);
    void setTabOrder();
    void connectHandlers();
    QWidget* widget(Control control) const;
    SimArea& area() const;

    // The view, for the form.
    void setEnabled(Control control, bool enabled) override;
    bool holdsFocus(Control control) const override;
    void setFocus(Control control) override;
    void place(Control control, const Box& box) override;
    std::string text(Control field) const override;
    void setText(Control field, const std::string& text) override;
    void selectAll(Control field) override;
    bool isChecked(Control box) const override;
    void setChecked(Control box, bool ticked) override;
    std::int64_t now() const override;
    void wakeAt(std::optional<std::int64_t> ns) override;
    Extent captionNeed(Control control) const override;
    int contentsTop(Control frame) const override;
    Extent innerSize() const override;
    void resizeInner(Extent size) override;
    void setMinimumInner(Extent size) override;
    void setTitle(const std::string& title) override;
    Surface& board() override;
    void describeBoard(const std::string& text) override;
    void showAbout(const std::string& title, const std::string& text) override;
    void quit() override;

    Form form_;
    bool built_ = false; // the constructor has run

    // The controls, indexed by `Control`, created in the table's order; the
    // timers are the form's clock's.
    std::array<QWidget*, controlCount> controls_{};
    WakeUps* wakeUps_ = nullptr;
};

} // namespace kug
