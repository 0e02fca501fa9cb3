// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Kuglovica window: twenty controls as designed, shown with Qt, over the
// form that holds their handlers.
//
// Names. A control is named by a Croatian word for its role and a suffix for
// its kind: txt a text field, cmd a command button, chk a check box, lbl a
// label; the two frames are params and gumbi, the drawing area simarea, the
// ball's timer Timmy and the fast loop's FastTimmy. A handler is its control's
// name and the event, joined by an underscore (startcmd_Click). The words:
// stupci columns, kuglice balls, brzina speed, gumbi buttons, brza fast,
// petlja loop, trag trail, teorijska theoretical, params parameters,
// start/stop/fullstop start, pause and abort, exit exit.

#include "app/form.h"
#include "app/form_view.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;

namespace kug {

class ParamField;
class PictureButton;
class SimArea;
class WakeUps;

// The desktop's view of the form: the twenty controls as widgets, the wake-ups
// of the form's clock, the About box and the window itself. What the handlers do is the
// form's; what belongs to Qt stays here: the widgets' events, focus reasons,
// selecting on release, double-clicks, the font and the window's state.
class MainWindow final : public QWidget, private FormView {
    Q_OBJECT
public:
    // `random` replaces the built-in source (tests script it).
    explicit MainWindow(std::unique_ptr<RandomSource> random = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    Form& form() { return form_; }
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
    void setTabOrder();
    void connectHandlers();
    QWidget* widget(Control control) const;

    // The view, for the form.
    void setEnabled(Control control, bool enabled) override;
    bool holdsFocus(Control control) const override;
    void setFocus(Control control) override;
    void place(Control control, const Box& box) override;
    std::string text(Control field) const override;
    void setText(Control field, const std::string& text) override;
    void selectAll(Control field) override;
    bool isChecked(Control box) const override;
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

    // Controls, in the order the window creates them; the timers are the
    // form's clock's.
    QGroupBox* gumbi = nullptr;
    PictureButton* exitcmd = nullptr;
    PictureButton* fullstopcmd = nullptr;
    PictureButton* stopcmd = nullptr;
    PictureButton* startcmd = nullptr;
    SimArea* simarea = nullptr;
    WakeUps* wakeUps_ = nullptr;
    QGroupBox* params = nullptr;
    QCheckBox* petljachk = nullptr;
    QCheckBox* tragchk = nullptr;
    QCheckBox* brzachk = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* teorijskachk = nullptr;
    ParamField* brzinatxt = nullptr;
    ParamField* kuglicetxt = nullptr;
    ParamField* stupcitxt = nullptr;
    QLabel* brzinalbl = nullptr;
    QLabel* kuglicelbl = nullptr;
    QLabel* stupcilbl = nullptr;
};

} // namespace kug
