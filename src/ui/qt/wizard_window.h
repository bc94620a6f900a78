#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include "ui/layout/page_layouts.h"
#include "ui/qt/accessibility.h"
#include "wizard/form_view.h"

class QGridLayout;
class QLabel;
class QScrollArea;
class QVBoxLayout;

namespace regwiz::ui::qt {

// The wizard's top-level window: a dialog with the page area on top, two
// separator lines, and the button bar at the bottom. It takes the design's
// size where the screen has room for it, and less where it has not: the
// pages then scroll, and the button bar always stays in view.
class WizardWindow final : public QDialog {
public:
    WizardWindow();

    static constexpr int kWidth = wizard::RegWizardDesign::kDesignWidth;
    static constexpr int kHeight = wizard::RegWizardDesign::kDesignHeight;
    static constexpr int kButtonBarHeight = 48;

    // The design's page area, in the window's own units.
    static QRect PageArea();

    // Where the pages and the error panels go: one above the other, each as
    // large as the page area.
    QWidget* Pages() const { return pages_; }
    // Adds a line or the button bar below the pages, top to bottom.
    void AddBelowPages(QWidget* widget);
    // The pages' or their texts' needs changed.
    void PagesChanged();
    // Takes the design's size, or what the pages' texts need at the present
    // font, within the screen's free area; then stays on that area.
    void FitToScreen();

    // The member asked the window to close (the close box, Escape). The
    // window itself never closes: what happens is the wizard's business.
    std::function<void()> onCloseRequested;
    // F1.
    std::function<void()> onHelpRequested;

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* pages_;
    QScrollArea* scroller_;
    QVBoxLayout* column_;
    FocusRing* ring_;
};

// Shows a RegWizardDesign in a WizardWindow and feeds the member's input back
// into it. The model drives everything the window shows.
class QtFormView final : public wizard::FormView {
public:
    explicit QtFormView(wizard::RegWizardDesign& form);
    ~QtFormView() override;
    QtFormView(const QtFormView&) = delete;
    QtFormView& operator=(const QtFormView&) = delete;

    // The widget that shows the control `controlName` (page frames are
    // "fraSteps(n)"); null when there is none. A control on a page not shown
    // yet gets its widget, with the rest of its page, when asked for.
    QWidget* WidgetFor(const std::string& controlName);
    WizardWindow* Window() const { return window_.data(); }

private:
    using Control = wizard::Control;

    void BuildWidgets();
    // A page's controls get their widgets when the page is first shown: most
    // members never see most pages before the window comes up.
    void BuildPageOf(const Control& control);
    void BuildPage(int page);
    void AddWidget(Control& control);
    QWidget* MakeWidget(Control& control, QWidget* parent);
    QWidget* MakePicture(const Control& image, QWidget* parent);
    void PlaceOnWindow(const Control& control, QWidget* widget);
    bool OnPageArea(const Control& control) const;
    void LayOutButtonBar();

    // Laying out a panel: its picture, then its rows.
    void LayOutPanel(Control& panel, PageLayout layout);
    int LabelColumnWidth(const PageLayout& layout) const;
    using Stops = std::vector<QWidget*>;
    void AddRow(QGridLayout& grid, int index, const Row& row, Stops& stops);
    QWidget* Place(const Cell& cell, Stops& stops);
    int TabGroup(const Control& panel) const;
    void SetTabOrder();
    void LinkLabels(const std::vector<Control*>& fields);

    // The member's input, into the model.
    void ConnectInput(Control& control, QWidget* widget);
    void ConnectButton(Control& control, QWidget* widget);
    void ConnectTextBox(Control& control, QWidget* widget);
    void ConnectList(Control& control, QWidget* widget);
    static void Feed(QtFormView* view, const std::shared_ptr<bool>& alive,
                     const std::function<void()>& input);

    // The model, into the widgets.
    void ObserveModel();
    void ShowAll(Control& control);
    void Show(Control& control, wizard::Property property);
    void ShowCaption(const Control& control, QWidget* widget);
    void ShowText(const Control& control, QWidget* widget);
    void ShowItems(const Control& control, QWidget* widget);
    void ShowListIndex(const Control& control, QWidget* widget);
    void ShowMissing(const Control& control, QWidget* widget);
    void ShowForm(wizard::FormModel::FormProperty property);
    void ShowFocus();
    void ShowDefaultButton();
    void ShowBusy();

    QWidget* WidgetOf(const Control& control) const;

    wizard::RegWizardDesign& form_;
    QPointer<WizardWindow> window_;
    std::map<const Control*, QWidget*> byControl_;
    std::array<bool, wizard::kPageCount> pageBuilt_{};
    // The focusable widgets in the order the member tabs through them, by
    // panel: the pages in order, the error panels, then the button bar.
    std::map<int, Stops> tabOrder_;
    // Undrawn twins of a label, for the second field it names.
    std::map<const Control*, std::vector<QLabel*>> twins_;
    // Shared with every observer and input handler: false once the view is
    // gone, since the model and the widgets outlive it a little.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Above zero while the view copies the model into the widgets: the
    // widgets' change signals must not go back into the model then.
    int updating_ = 0;
};

// Makes a QtFormView for each form loaded.
wizard::FormViewFactory MakeViewFactory();

} // namespace regwiz::ui::qt
