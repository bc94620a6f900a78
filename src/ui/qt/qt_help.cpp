#include "ui/qt/qt_help.h"

#include <QFile>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

namespace regwiz::ui::qt {
namespace {

const char* const kIndexAnchor = "index";

QString NotInstalledPage(const std::filesystem::path& document)
{
    return QStringLiteral("<h1>Help is not installed</h1>"
                          "<p>The help document <tt>%1</tt> could not be found.</p>"
                          "<p>For help with signing up, call quorvale Member Services at "
                          "1-800-555-0142.</p>")
        .arg(QString::fromStdString(document.string()).toHtmlEscaped());
}

} // namespace

QtHelp::QtHelp() = default;
QtHelp::~QtHelp() = default;

std::filesystem::path QtHelp::DocumentFor(const std::string& helpFile)
{
    return std::filesystem::path(helpFile).replace_extension(".html");
}

void QtHelp::ShowPartialKey(const std::string& helpFile, const std::string& key)
{
    MakeWindow();
    Load(DocumentFor(helpFile));
    topic_ = platform::HelpTopicFor(document_, key);
    window_->show();
    window_->raise();
    if (topic_ == kIndexAnchor)
        browser_->verticalScrollBar()->setValue(0); // the index opens the document
    else
        browser_->scrollToAnchor(QString::fromStdString(topic_));
}

void QtHelp::Quit(const std::string&)
{
    if (window_)
        window_->hide();
}

void QtHelp::MakeWindow()
{
    if (window_)
        return;
    window_ = std::make_unique<QWidget>();
    window_->setObjectName(QStringLiteral("frmHelp"));
    window_->setWindowTitle(QStringLiteral("quorvale Registration Help"));
    window_->resize(560, 480);
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(window_.get());
    browser_->setObjectName(QStringLiteral("helpText"));
    browser_->setAccessibleName(window_->windowTitle());
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
}

// Read afresh each time: the document may be installed or replaced while the
// wizard runs.
void QtHelp::Load(const std::filesystem::path& document)
{
    QFile file(QString::fromStdString(document.string()));
    if (!file.open(QIODevice::ReadOnly)) {
        document_.clear();
        browser_->setHtml(NotInstalledPage(document));
        return;
    }
    document_ = file.readAll().toStdString();
    browser_->setHtml(QString::fromStdString(document_));
}

} // namespace regwiz::ui::qt
