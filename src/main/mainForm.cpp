#include "mainForm.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>

#include "application.h"
#include "browser_view.h"
#include "check_view.h"
#include "file_drop.h"
#include "file_name.h"
#include "file_problem.h"
#include "file_size.h"
#include "file_time.h"
#include "html_file.h"
#include "page_text.h"
#include "payment_model.h"
#include "print_browser.h"
#include "product.h"
#include "profile.h"
#include "view_commands.h"

namespace quandel {

TmainForm::TmainForm(TViewerPlatform platform, const QStringList& arguments, const QString& programDir,
                     QWidget* parent)
    : QMainWindow(parent), platform_(std::move(platform)) {
  setObjectName(QStringLiteral("mainForm"));
  CreateComponents();
  FormCreate(arguments, programDir);
}

TmainForm::~TmainForm() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

QAction* TmainForm::CreateAction(const char* name, const QString& caption, const QKeySequence& shortcut,
                                 const QString& image, void (TmainForm::*handler)()) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  if (!image.isEmpty()) action->setIcon(QIcon(image));
  connect(action, &QAction::triggered, this,
          [this, handler] { Run([this, handler] { (this->*handler)(); }); });
  return action;
}

void TmainForm::CreateComponents() {
  fileOpenDtaus =
      CreateAction("fileOpenDtaus", QStringLiteral("&Öffnen..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                   QStringLiteral(":/quandel/open.svg"), &TmainForm::fileOpenDtausExecute);
  fileExit = CreateAction("fileExit", QStringLiteral("&Beenden"), QKeySequence(), QString(),
                          &TmainForm::fileExitExecute);
  fileUpdateDtaus = CreateAction("fileUpdateDtaus", QStringLiteral("&Aktualisieren"),
                                 QKeySequence(Qt::Key_F5), QString(), &TmainForm::fileUpdateDtausExecute);
  filePrint = CreateAction("filePrint", QStringLiteral("&Drucken"), QKeySequence(Qt::CTRL | Qt::Key_P),
                           QStringLiteral(":/quandel/print.svg"), &TmainForm::filePrintExecute);
  helpAbout = CreateAction("helpAbout", QStringLiteral("&Info..."), QKeySequence(), QString(),
                           &TmainForm::helpAboutExecute);

  MainMenu1 = menuBar();
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  Datei1 = MainMenu1->addMenu(QStringLiteral("&Datei"));
  Datei1->setObjectName(QStringLiteral("Datei1"));
  Datei1->addAction(fileOpenDtaus);
  Datei1->addAction(fileUpdateDtaus);
  Datei1->addAction(filePrint);
  N1 = Datei1->addSeparator();
  N1->setObjectName(QStringLiteral("N1"));
  Datei1->addAction(fileExit);
  Hilfe1 = MainMenu1->addMenu(QStringLiteral("&Hilfe"));
  Hilfe1->setObjectName(QStringLiteral("Hilfe1"));
  Hilfe1->addAction(helpAbout);

  ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->toggleViewAction()->setVisible(false);
  ToolBar1->setIconSize(QSize(16, 16));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolBar1->addAction(fileOpenDtaus);
  ToolBar1->addAction(filePrint);
  ToolBar1->widgetForAction(fileOpenDtaus)->setObjectName(QStringLiteral("ToolButton1"));
  ToolBar1->widgetForAction(filePrint)->setObjectName(QStringLiteral("ToolButton2"));

  StatusBar1 = statusBar();
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusPanel = new QLabel(StatusBar1);
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  StatusPanel->setTextFormat(Qt::PlainText);
  // A long name must not widen the window; the panel takes the whole bar.
  StatusPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  StatusBar1->addPermanentWidget(StatusPanel, 1);
  LoadProgress = new QProgressBar(StatusBar1);
  LoadProgress->setObjectName(QStringLiteral("LoadProgress"));
  LoadProgress->setRange(0, 100);
  LoadProgress->setFormat(QStringLiteral("Lade Zeilen … %p %"));
  LoadProgress->setFixedWidth(
      LoadProgress->fontMetrics().horizontalAdvance(QStringLiteral("Lade Zeilen … 100 %")) +
      4 * LoadProgress->fontMetrics().averageCharWidth());
  StatusBar1->addPermanentWidget(LoadProgress);
  LoadProgress->hide();

  browserPanel = new QWidget(this);
  browserPanel->setObjectName(QStringLiteral("browserPanel"));
  auto* layout = new QVBoxLayout(browserPanel);
  layout->setContentsMargins(5, 5, 5, 5);
  WebBrowser1 = new TBrowserView(platform_.openUrl, browserPanel);
  WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
  layout->addWidget(WebBrowser1);
  connect(WebBrowser1, &TBrowserView::loadProgress, this, &TmainForm::ShowLoadProgress);
  connect(WebBrowser1, &TBrowserView::loadFinished, LoadProgress, &QWidget::hide);
  viewCommands = new TViewCommands(this, WebBrowser1, layout, platform_.messages);
  checkView = new TCheckView(WebBrowser1, layout, browserPanel);
  new TFileDrop(this, [this](const QString& name) { Run([this, name] { ShowFile(name); }); });
}

void TmainForm::FormCreate(const QStringList& arguments, const QString& programDir) {
  {
    const support::TProfile settings("./quandel.ini");
    filterIndex_ = settings.ReadInteger("viewer", "filterindex", 1);
    initialDir_ = DecodeCp1252(settings.ReadString("viewer", "initialdir", ""));
  }
  setWindowTitle(QStringLiteral("%1 - %2 %3")
                     .arg(QString::fromUtf8(support::FamilyName), QString::fromUtf8(support::ProductName),
                          QString::fromUtf8(support::Version)));
  resize(696, 480);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
  setCentralWidget(browserPanel);
  dtausHtmlPath_ = ChooseDtausHtmlPath(programDir);
  dtaus_ = std::make_shared<ombra::TDtaus>();
  ReadRegionalSettings();
  if (qApp != nullptr) qApp->installEventFilter(this);

  std::error_code ignored;
  if (arguments.size() > 1 && std::filesystem::is_regular_file(FileNameToBytes(arguments.at(1)), ignored)) {
    const QString name = arguments.at(1);
    Run([this, name] { ShowFile(name); });
  }
}

// A page shown at once reports 100 right away; the bar would only flicker.
void TmainForm::ShowLoadProgress(int percent) {
  LoadProgress->setValue(percent);
  LoadProgress->setVisible(percent < 100);
}

void TmainForm::ReadRegionalSettings() { regional_ = ombra::RegionalSettingsFromEnvironment(); }

bool TmainForm::event(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) ReadRegionalSettings();
  return QMainWindow::event(event);
}

bool TmainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == qApp && event->type() == QEvent::LocaleChange) ReadRegionalSettings();
  return QMainWindow::eventFilter(watched, event);
}

void TmainForm::Run(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    platform_.messages->ShowError(ExceptionText(error));
  } catch (...) {
    platform_.messages->ShowError(QStringLiteral("Unbekannter Fehler"));
  }
}

QString TmainForm::StatusText() const { return StatusPanel->text(); }

void TmainForm::ShowFile(const QString& FileName) {
  const std::string name = FileNameToBytes(FileName);
  auto document = std::make_shared<ombra::TDtaus>();
  document->Load(name, regional_);
  dtaus_ = document;
  // Concatenated, not formatted: a "%1" in the file name must stay as it is.
  QString status = ReadableFileName(FileName) + QStringLiteral(" - ");
  const QString reason = DecodeCp1252(dtaus_->LoadError);
  if (!CanReadFile(name)) {
    // Gone, locked or a folder: the reason stands where size and time would be.
    status += reason.isEmpty() ? QStringLiteral("Datei kann nicht gelesen werden") : reason;
  } else {
    const std::int64_t size = support::SizeOfNamedFile(name);
    status +=
        QString::number(size) + QStringLiteral(" - ") + QString::fromStdString(FileTimeText(name, regional_));
    // A file read but not understood: which record, which field, which byte.
    if (!reason.isEmpty()) status += QStringLiteral(" - ") + reason;
  }
  StatusPanel->setText(status);
  const std::string footer = support::FooterText();
  // Showing the page file itself must not overwrite it.
  const QString pagePath = PagePathBeside(dtausHtmlPath_, name);
  // Rendered straight into the page file: a long list held as lines first took longer than
  // loading it.
  TPageFile page(pagePath);
  dtaus_->RenderControlList([&page](std::string&& line) { page.Write(line); }, footer, regional_);
  page.Commit();
  if (!document->LoadFailed())
    WebBrowser1->NavigateToList(pagePath, std::make_shared<TPaymentModel>(document, regional_, footer));
  else
    WebBrowser1->Navigate(pagePath);
  lastShownFile_ = FileName;
  // After the page: the check reads the file once more and must not hold up the first rows.
  if (dtaus_->LoadError.empty())
    checkView->start(name, regional_);
  else
    checkView->clear();
}

void TmainForm::fileOpenDtausExecute() {
  TOpenDialogSettings settings;
  settings.Filter = QString::fromUtf8(kOpenFilter);
  settings.FilterIndex = filterIndex_;
  settings.InitialDir = initialDir_;
  if (const std::optional<QString> chosen = platform_.openDialog->Execute(settings)) ShowFile(*chosen);
}

void TmainForm::fileExitExecute() { close(); }

void TmainForm::fileUpdateDtausExecute() {
  if (!lastShownFile_.isEmpty()) ShowFile(lastShownFile_);
}

void TmainForm::filePrintExecute() {
  if (!platform_.printDialog->Execute(WebBrowser1->PrintSettings())) return;
  PrintBrowser(WebBrowser1, *platform_.messages);
}

void TmainForm::helpAboutExecute() {
  if (showAbout_) showAbout_();
}

}  // namespace quandel
