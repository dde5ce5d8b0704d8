#include "mainForm.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

#include "application.h"
#include "browser_view.h"
#include "check_view.h"
#include "control_list_view.h"
#include "convert.h"
#include "datetime.h"
#include "file_drop.h"
#include "file_loader.h"
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
#include "row_exporter.h"
#include "view_commands.h"

namespace quandel {
namespace {

const QString kRowsFormat = QStringLiteral("Lade Zeilen … %p %");
const QString kFileFormat = QStringLiteral("Lade Datei … %p %");
// A file read sooner shows no bar; it would only flicker.
constexpr int kProgressIntervalMs = 100;
// The window's outer size, frame included, and the heights of its bars.
constexpr QSize kOuterSize(696, 480);
constexpr int kToolBarHeight = 29;
constexpr int kStatusBarHeight = 19;

// Name, size and time of the file, loaded or not: why a load failed is the bar's to say. A
// name of nothing or of a folder has no size or time to give.
QString StatusFor(const QString& FileName, const std::string& name,
                  const ombra::TRegionalSettings& regional) {
  // Concatenated, not formatted: a "%1" in the file name must stay as it is.
  QString status = ReadableFileName(FileName);
  struct stat info {};
  if (stat(name.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return status;
  return status + QStringLiteral(" - ") + QString::number(support::SizeOfNamedFile(name)) +
         QStringLiteral(" - ") + QString::fromStdString(FileTimeText(name, regional));
}

// Empty when the file has no time stamp (gone meanwhile).
QString ShownFileTime(const std::string& name, const ombra::TRegionalSettings& regional) {
  try {
    return QString::fromStdString(FileTimeText(name, regional));
  } catch (const ombra::EConvertError&) {
    return {};
  }
}

// What the printed sheets of the list shown say around it, at the moment the print starts.
TSheetFrame SheetFrame(const QString& name, const QString& time, const ombra::TDtaus* document,
                       const TCheckView& check, const ombra::TRegionalSettings& regional) {
  TSheetFrame frame{name, time, {}, {}};
  const QDateTime now = QDateTime::currentDateTime();
  frame.printTime = QString::fromStdString(
      ombra::FormatDateTime({now.date().year(), now.date().month(), now.date().day()},
                            {now.time().hour(), now.time().minute(), now.time().second()}, regional));
  if (document != nullptr && !document->LoadError.empty()) {
    // As the bar says it: no check runs on a damaged file.
    frame.verdict << QStringLiteral("Datei beschädigt: ") + DecodeCp1252(document->LoadError)
                  << DecodeCp1252(ombra::ReadSoFarText(document->Damage));
  } else if (check.result()) {
    frame.verdict = PrintedVerdict(*check.result());
  } else if (check.runner()->isBusy()) {
    frame.verdict << QStringLiteral(
        "Die Prüfung lief beim Drucken noch; ihr Ergebnis steht nicht auf diesem "
        "Ausdruck.");
  }
  return frame;
}

}  // namespace

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
  ToolBar1->setFixedHeight(kToolBarHeight);
  ToolBar1->addAction(fileOpenDtaus);
  ToolBar1->addAction(filePrint);
  ToolBar1->widgetForAction(fileOpenDtaus)->setObjectName(QStringLiteral("ToolButton1"));
  ToolBar1->widgetForAction(filePrint)->setObjectName(QStringLiteral("ToolButton2"));
  for (QAction* action : {fileOpenDtaus, filePrint}) ShowShortcutInToolTip(action);

  StatusBar1 = statusBar();
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setFixedHeight(kStatusBarHeight);
  StatusPanel = new QLabel(StatusBar1);
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  StatusPanel->setTextFormat(Qt::PlainText);
  // A long name must not widen the window; the panel takes the whole bar.
  StatusPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  StatusBar1->addPermanentWidget(StatusPanel, 1);
  LoadProgress = new QProgressBar(StatusBar1);
  LoadProgress->setObjectName(QStringLiteral("LoadProgress"));
  LoadProgress->setRange(0, 100);
  LoadProgress->setFormat(kRowsFormat);
  LoadProgress->setFixedWidth(
      LoadProgress->fontMetrics().horizontalAdvance(QStringLiteral("Lade Zeilen … 100 %")) +
      4 * LoadProgress->fontMetrics().averageCharWidth());
  StatusBar1->addPermanentWidget(LoadProgress);
  LoadProgress->hide();
  LoadCancel = new QToolButton(StatusBar1);
  LoadCancel->setObjectName(QStringLiteral("LoadCancel"));
  LoadCancel->setText(QStringLiteral("Abbrechen"));
  LoadCancel->setToolTip(QStringLiteral("Laden abbrechen (Esc)"));
  LoadCancel->setAutoRaise(true);
  StatusBar1->addPermanentWidget(LoadCancel);
  LoadCancel->hide();
  connect(LoadCancel, &QToolButton::clicked, this, &TmainForm::CancelLoad);
  cancelShortcut_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  cancelShortcut_->setContext(Qt::WindowShortcut);
  // Esc belongs to the find bar and the lists except while a file loads.
  cancelShortcut_->setEnabled(false);
  connect(cancelShortcut_, &QShortcut::activated, this, &TmainForm::CancelLoad);
  loadTimer_ = new QTimer(this);
  loadTimer_->setInterval(kProgressIntervalMs);
  connect(loadTimer_, &QTimer::timeout, this, [this] {
    if (!isLoading()) return;
    LoadProgress->setFormat(kFileFormat);
    LoadProgress->setValue(loader_->progress());
    LoadProgress->show();
  });
  loader_ = new TFileLoader(this);
  connect(loader_, &TFileLoader::documentLoaded, this, &TmainForm::DocumentLoaded);
  connect(loader_, &TFileLoader::pageWritten, this, &TmainForm::PageWritten);

  browserPanel = new QWidget(this);
  browserPanel->setObjectName(QStringLiteral("browserPanel"));
  auto* layout = new QVBoxLayout(browserPanel);
  layout->setContentsMargins(5, 5, 5, 5);
  WebBrowser1 = new TBrowserView(platform_.openUrl, browserPanel);
  WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
  WebBrowser1->SetPrintProgress(platform_.printProgress);
  WebBrowser1->SetSheetFrame(
      [this] { return SheetFrame(shownName_, shownTime_, dtaus_.get(), *checkView, regional_); });
  layout->addWidget(WebBrowser1);
  connect(WebBrowser1, &TBrowserView::loadProgress, this, &TmainForm::ShowLoadProgress);
  connect(WebBrowser1, &TBrowserView::loadFinished, this, [this] {
    if (!isLoading()) LoadProgress->hide();
  });
  viewCommands = new TViewCommands(this, WebBrowser1, layout, platform_.messages, platform_.saveDialog);
  viewCommands->exporter()->source = [this](const ombra::TDtaus& document) { return SourceOf(document); };
  checkView = new TCheckView(this, WebBrowser1, layout, platform_);
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
  resize(kOuterSize);
  CentreOnScreen();
  setCentralWidget(browserPanel);
  pageFolders_ = PageFolders(programDir);
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
  // While a file loads the bar is the loader's.
  if (isLoading()) return;
  LoadProgress->setValue(percent);
  LoadProgress->setVisible(percent < 100);
}

// The environment is read here, on the window's thread, and what the workers need of it is
// handed to them: they never read it themselves.
void TmainForm::ReadRegionalSettings() {
  regional_ = ombra::RegionalSettingsFromEnvironment();
  ombra::CurrentYear();
}

bool TmainForm::event(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) ReadRegionalSettings();
  const bool handled = QMainWindow::event(event);
  if (!frameFitted_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                        event->type() == QEvent::WindowActivate))
    FitFrame();
  return handled;
}

// The frame's top left goes where a window is moved; the frame is centred as the whole window.
void TmainForm::CentreOnScreen() {
  const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  move(area.x() + (area.width() - kOuterSize.width()) / 2,
       area.y() + (area.height() - kOuterSize.height()) / 2);
}

// The window's size is its outer size, frame included; the frame is known only once the
// window manager has drawn it, after the window came up. Then the inside gives way to the
// frame, once, and the window is centred again. A size the user gave stays.
void TmainForm::FitFrame() {
  if (!isVisible()) return;
  if (size() != kOuterSize) {
    frameFitted_ = true;
    return;
  }
  const QSize frame = frameGeometry().size() - size();
  if (frame.isNull()) return;
  frameFitted_ = true;
  resize(kOuterSize - frame);
  CentreOnScreen();
}

// A list print runs in the event loop; left running it would outlive the window and keep the
// program alive with nothing on screen.
void TmainForm::closeEvent(QCloseEvent* event) {
  WebBrowser1->stopPrinting();
  QMainWindow::closeEvent(event);
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

void TmainForm::ShowFile(const QString& FileName) { Load(FileName, std::nullopt); }

void TmainForm::Load(const QString& FileName, std::optional<std::pair<int, int>> keepTop) {
  if (!isLoading()) beforeLoad_ = TBeforeLoad{StatusPanel->text(), dtaus_, shownName_, shownTime_};
  keepTop_ = keepTop;
  loader_->start(TLoadRequest{FileName, pageFolders_, regional_, support::FooterText()});
  checkView->setLoading(true);
  WebBrowser1->setBusy(true);
  LoadCancel->show();
  cancelShortcut_->setEnabled(true);
  loadTimer_->start();
  if (platform_.waitForLoads) WaitForLoad();
}

bool TmainForm::isLoading() const { return loader_->isRunning(); }

void TmainForm::WaitForLoad() { loader_->wait(); }

// The list goes up while the page is still written: a long file shows its first rows early.
void TmainForm::DocumentLoaded(const std::shared_ptr<const TLoadedFile>& file) {
  dtaus_ = file->Document;
  std::erase_if(sources_, [](const TSource& source) { return source.Document.expired(); });
  sources_.push_back({file->Document, {file->FileName, file->Check}});
  StatusPanel->setText(StatusFor(file->FileName, file->Name, regional_));
  shownName_ = ReadableFileName(file->FileName);
  shownTime_ = ShownFileTime(file->Name, regional_);
  loadingModel_.reset();
  if (file->Rows) {
    loadingModel_ = std::make_shared<TPaymentModel>(file->Document, file->Regional, file->Footer, file->Rows);
    checkView->hideResult(dtaus_->LoadError.empty());
    WebBrowser1->PreviewList(loadingModel_);
    if (keepTop_) WebBrowser1->listView()->scrollToRow(keepTop_->first, keepTop_->second);
  }
  emit fileRead();
}

void TmainForm::PageWritten(const std::shared_ptr<const TLoadedFile>& file,
                            const std::shared_ptr<const TWrittenPage>& page) {
  std::exception_ptr error = file->Error ? file->Error : page->Error;
  const std::shared_ptr<TPaymentModel> model = std::move(loadingModel_);
  if (!error) {
    try {
      std::string replaced;
      page->Page->Commit(&replaced);
      if (!replaced.empty()) loader_->removeLater(std::move(replaced));
      if (model)
        WebBrowser1->NavigateToList(page->PagePath, model);
      else
        WebBrowser1->Navigate(page->PagePath);
      lastShownFile_ = file->FileName;
      // The accounts are checked on the document the list shows, after the page, so that the
      // check does not hold up the first rows.
      if (file->Document->LoadError.empty())
        checkView->start(file->Document, file->Check);
      else if (model)
        checkView->showDamage(*file->Document);
      else
        checkView->showFailure(*file->Document);
    } catch (...) {
      error = std::current_exception();
    }
  }
  std::shared_ptr<const void> previous = beforeLoad_ ? beforeLoad_->Document : nullptr;
  // A failed page leaves the earlier one shown, the status naming the new file.
  EndLoad();
  loader_->releaseLater(std::move(previous));
  if (error) Run([&error] { std::rethrow_exception(error); });
}

TRowExporter::TSource TmainForm::SourceOf(const ombra::TDtaus& document) const {
  for (const TSource& source : sources_)
    if (source.Document.lock().get() == &document) return source.File;
  return {};
}

void TmainForm::CancelLoad() {
  if (!isLoading()) return;
  loader_->cancel();
  loadingModel_.reset();
  std::shared_ptr<const void> cancelled = dtaus_;
  if (beforeLoad_) {
    StatusPanel->setText(beforeLoad_->Status);
    dtaus_ = beforeLoad_->Document;
    shownName_ = beforeLoad_->Name;
    shownTime_ = beforeLoad_->Time;
  }
  EndLoad();
  loader_->releaseLater(std::move(cancelled));
}

void TmainForm::EndLoad() {
  beforeLoad_.reset();
  keepTop_.reset();
  WebBrowser1->EndPreview();
  checkView->setLoading(false);
  WebBrowser1->setBusy(false);
  loadTimer_->stop();
  LoadCancel->hide();
  cancelShortcut_->setEnabled(false);
  LoadProgress->hide();
  LoadProgress->setFormat(kRowsFormat);
  emit loadEnded();
}

void TmainForm::fileOpenDtausExecute() {
  TOpenDialogSettings settings;
  settings.Filter = QString::fromUtf8(kOpenFilter);
  settings.FilterIndex = filterIndex_;
  settings.InitialDir = initialDir_;
  const std::optional<QString> chosen = platform_.openDialog->Execute(settings);
  if (!chosen) return;
  RequireFile(*chosen);
  ShowFile(*chosen);
}

// A name that leads nowhere ends the command before anything shown goes.
void TmainForm::RequireFile(const QString& FileName) {
  const QString missing = MissingFileText(FileNameToBytes(FileName), ReadableFileName(FileName));
  if (!missing.isEmpty()) throw std::runtime_error(missing.toStdString());
}

void TmainForm::fileExitExecute() { close(); }

void TmainForm::fileUpdateDtausExecute() {
  if (lastShownFile_.isEmpty()) return;
  RequireFile(lastShownFile_);
  std::optional<std::pair<int, int>> top;
  if (WebBrowser1->showsList()) top = WebBrowser1->listView()->firstVisibleRow();
  Load(lastShownFile_, top);
}

void TmainForm::filePrintExecute() {
  // A second print would change the printer the running one draws on.
  if (WebBrowser1->isPrinting()) return;
  QPrinter& printer = WebBrowser1->PrintSettings();
  const bool selection = WebBrowser1->hasSelectedRows();
  // "Auswahl" chosen for an earlier print must not stand for rows no longer selected.
  if (!selection && printer.printRange() == QPrinter::Selection) printer.setPrintRange(QPrinter::AllPages);
  if (!platform_.printDialog->Execute(printer, selection)) return;
  PrintBrowser(WebBrowser1, *platform_.messages);
}

void TmainForm::helpAboutExecute() {
  if (showAbout_) showAbout_();
}

}  // namespace quandel
