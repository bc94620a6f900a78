#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "ui/layout/page_layouts.h"
#include "wizard/form_view.h"

class QGridLayout;

namespace regwiz::ui::qt {

// The wizard's top-level window: a fixed-size dialog with the page area on
// top, two separator lines, and the button bar at the bottom.
class WizardWindow final : public QWidget {
public:
    WizardWindow();

    static constexpr int kWidth = wizard::RegWizardDesign::kDesignWidth;
    static constexpr int kHeight = wizard::RegWizardDesign::kDesignHeight;
    static constexpr int kButtonBarHeight = 48;

    static QRect PageArea();
    static QRect ButtonBar();
    static QRect SeparatorLine(int index); // 0: the upper line, 1: the lower one

    // The member asked the window to close. The window itself never closes:
    // what happens is the wizard's business.
    std::function<void()> onCloseRequested;

protected:
    void closeEvent(QCloseEvent* event) override;
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
    // "fraSteps(n)"); null when there is none.
    QWidget* WidgetFor(const std::string& controlName) const;
    QWidget* Window() const { return window_.data(); }

private:
    using Control = wizard::Control;

    void BuildWidgets();
    QWidget* MakeWidget(Control& control, QWidget* parent);
    QWidget* MakePicture(const Control& image, QWidget* parent);
    void PlaceOnWindow(const Control& control, QWidget* widget);

    // Laying out a panel: its picture, then its rows.
    void LayOutPanel(Control& panel, PageLayout layout);
    int LabelColumnWidth(const PageLayout& layout) const;
    void AddRow(QGridLayout& grid, int index, const Row& row);
    QWidget* Place(const Cell& cell);
    void PairWithLabel(const Control& control, QWidget* widget);
    void SetTabOrder();

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
    void ShowForm(wizard::FormModel::FormProperty property);
    void ShowFocus();

    QWidget* WidgetOf(const Control& control) const;

    wizard::RegWizardDesign& form_;
    QPointer<WizardWindow> window_;
    std::map<std::string, QWidget*> widgets_;
    std::map<const Control*, QWidget*> byControl_;
    // Inputs named after the label beside them, by label.
    std::map<const Control*, std::vector<QWidget*>> buddies_;
    // The layout pass: the last label placed, inputs still waiting for one,
    // and the focusable widgets in the order the member tabs through them.
    const Control* lastLabel_ = nullptr;
    std::vector<QWidget*> unnamedInputs_;
    std::vector<QWidget*> tabOrder_;
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
