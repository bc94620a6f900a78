#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/help.h"

class QTextBrowser;
class QWidget;

namespace regwiz::ui::qt {

// The help viewer: an HTML document in a window of its own. The document for
// help file "…/Registration.hlp" is "…/Registration.html". Its topics are
// headings `<h2><a name="KEYWORD">KEYWORD</a></h2>`, and its keyword index
// stands at `<a name="index">`.
class QtHelp final : public platform::Help {
public:
    QtHelp();
    ~QtHelp() override;
    QtHelp(const QtHelp&) = delete;
    QtHelp& operator=(const QtHelp&) = delete;

    void ShowPartialKey(const std::string& helpFile, const std::string& key) override;
    void Quit(const std::string& helpFile) override;

    static std::filesystem::path DocumentFor(const std::string& helpFile);

    // The help window, once help has been asked for; else null.
    QWidget* Window() const { return window_.get(); }
    QTextBrowser* Browser() const { return browser_; }
    // The anchor shown last: a topic's keyword, or "index".
    const std::string& CurrentTopic() const { return topic_; }

private:
    void MakeWindow();
    void Load(const std::filesystem::path& document);

    std::unique_ptr<QWidget> window_;
    QTextBrowser* browser_ = nullptr;
    std::string document_;
    std::string topic_;
};

} // namespace regwiz::ui::qt
