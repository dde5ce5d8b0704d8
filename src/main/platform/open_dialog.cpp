#include "open_dialog.h"

#include <QCollator>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>

#include "file_name.h"
#include "file_system.h"
#include "system_error.h"
#include "wildcard.h"

namespace quandel {
namespace {

constexpr int kNameRole = Qt::UserRole;
constexpr int kFolderRole = Qt::UserRole + 1;

// A trailing ".*" also stands for no extension at all, as on the system the filters come from.
bool Matches(const std::string& name, const std::string& pattern) {
  if (support::WildcardMatch(name, pattern)) return true;
  return pattern.size() > 2 && pattern.ends_with(".*") &&
         support::WildcardMatch(name, std::string_view(pattern).substr(0, pattern.size() - 2));
}

// Lists `folder`'s folders and files by the bytes of their names; hidden names stay out, as do
// pipes and devices, which no one opens as a file.
std::vector<std::pair<std::string, struct stat>> ReadFolder(const std::string& folder, int& error) {
  std::vector<std::pair<std::string, struct stat>> entries;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) {
    error = errno;
    return entries;
  }
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name.empty() || name.front() == '.') continue;
    struct stat info {};
    // Followed: a link to a file or folder is listed as what it leads to.
    if (fstatat(dirfd(dir.get()), name.c_str(), &info, 0) != 0) continue;
    if (S_ISDIR(info.st_mode) || S_ISREG(info.st_mode)) entries.emplace_back(name, info);
  }
  error = 0;
  return entries;
}

QString CurrentFolder() {
  std::error_code error;
  return FileNameFromBytes(std::filesystem::current_path(error).string());
}

QString ParentOf(const QString& folder) {
  const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
  return slash <= 0 ? QStringLiteral("/") : folder.left(slash);
}

}  // namespace

TOpenFileDialog::TOpenFileDialog(QWidget* parent)
    : QDialog(parent),
      folderEdit_(new QLineEdit(this)),
      view_(new QTreeView(this)),
      model_(new QStandardItemModel(this)),
      name_(new QLineEdit(this)),
      filterBox_(new QComboBox(this)),
      problem_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Öffnen"));
  auto* up = new QToolButton(this);
  up->setObjectName(QStringLiteral("folderUp"));
  up->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  up->setToolTip(QStringLiteral("Übergeordneter Ordner"));
  view_->setModel(model_);
  view_->setRootIsDecorated(false);
  view_->setUniformRowHeights(true);
  view_->setAllColumnsShowFocus(true);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  problem_->setTextFormat(Qt::PlainText);
  problem_->setWordWrap(true);
  problem_->hide();
  auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
  buttons->addButton(QStringLiteral("Öffnen"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Suchen in:"), this), 0, 0);
  layout->addWidget(folderEdit_, 0, 1);
  layout->addWidget(up, 0, 2);
  layout->addWidget(view_, 1, 0, 1, 3);
  layout->addWidget(problem_, 2, 0, 1, 3);
  layout->addWidget(new QLabel(QStringLiteral("Dateiname:"), this), 3, 0);
  layout->addWidget(name_, 3, 1);
  layout->addWidget(new QLabel(QStringLiteral("Dateityp:"), this), 4, 0);
  layout->addWidget(filterBox_, 4, 1);
  layout->addWidget(buttons, 3, 2, 2, 1);
  resize(640, 420);

  connect(buttons, &QDialogButtonBox::accepted, this, &TOpenFileDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TOpenFileDialog::reject);
  connect(up, &QToolButton::clicked, this, [this] { setDirectory(ParentOf(folder_)); });
  // Backspace in the list goes up, as in the usual file dialogs.
  auto* upKey = new QShortcut(QKeySequence(Qt::Key_Backspace), view_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(upKey, &QShortcut::activated, up, &QToolButton::click);
  connect(folderEdit_, &QLineEdit::returnPressed, this, [this] {
    // The field shows the folder readably; only a changed text names another one.
    if (folderEdit_->text() != ReadableFileName(folder_)) setDirectory(folderEdit_->text());
  });
  connect(filterBox_, &QComboBox::currentIndexChanged, this, &TOpenFileDialog::fill);
  connect(view_, &QTreeView::activated, this, &TOpenFileDialog::activate);
  connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TOpenFileDialog::pick);
}

void TOpenFileDialog::setNameFilters(const QString& filter) {
  filters_.clear();
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    TFilter entry{parts.at(i), {}};
    for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
      entry.Patterns.push_back(pattern.trimmed().toStdString());
    filters_.push_back(std::move(entry));
  }
  const QSignalBlocker quiet(filterBox_);
  filterBox_->clear();
  for (const TFilter& entry : filters_) filterBox_->addItem(entry.Text);
  fill();
}

QStringList TOpenFileDialog::nameFilters() const {
  QStringList texts;
  for (const TFilter& entry : filters_) texts << entry.Text;
  return texts;
}

void TOpenFileDialog::selectNameFilter(int index) { filterBox_->setCurrentIndex(index); }

QString TOpenFileDialog::selectedNameFilter() const { return filterBox_->currentText(); }

void TOpenFileDialog::setDirectory(const QString& folder) {
  const QString path = QDir::cleanPath(
      folder.startsWith(QLatin1Char('/')) ? folder : CurrentFolder() + QLatin1Char('/') + folder);
  int error = 0;
  const auto read = ReadFolder(FileNameToBytes(path), error);
  if (error != 0) {
    problem_->setText(QStringLiteral("Der Ordner „") + ReadableFileName(path) +
                      QStringLiteral("“ kann nicht gelesen werden: ") +
                      QString::fromStdString(support::GermanSystemError(error, support::TFileDeed::Read) + "."));
    problem_->show();
    folderEdit_->setText(ReadableFileName(folder_));
    return;
  }
  problem_->hide();
  folder_ = path;
  folderEdit_->setText(ReadableFileName(folder_));
  entries_.clear();
  for (const auto& [name, info] : read)
    entries_.push_back({FileNameFromBytes(name), S_ISDIR(info.st_mode),
                        static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtime)});
  QCollator collator(QLocale(QLocale::German));
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  collator.setNumericMode(true);
  std::sort(entries_.begin(), entries_.end(), [&collator](const TEntry& a, const TEntry& b) {
    if (a.Folder != b.Folder) return a.Folder;
    return collator.compare(ReadableFileName(a.Name), ReadableFileName(b.Name)) < 0;
  });
  picked_.clear();
  pickedShown_.clear();
  fill();
}

bool TOpenFileDialog::listed(const TEntry& entry) const {
  if (entry.Folder) return true;
  const int at = filterBox_->currentIndex();
  if (at < 0 || static_cast<std::size_t>(at) >= filters_.size()) return true;
  const std::string bytes = FileNameToBytes(entry.Name);
  const auto& patterns = filters_[static_cast<std::size_t>(at)].Patterns;
  return std::any_of(patterns.begin(), patterns.end(),
                     [&bytes](const std::string& pattern) { return Matches(bytes, pattern); });
}

void TOpenFileDialog::fill() {
  model_->clear();
  model_->setHorizontalHeaderLabels(
      {QStringLiteral("Name"), QStringLiteral("Größe"), QStringLiteral("Geändert")});
  const QLocale german(QLocale::German);
  const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
  const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
  for (const TEntry& entry : entries_) {
    if (!listed(entry)) continue;
    auto* name = new QStandardItem(entry.Folder ? folderIcon : fileIcon, ReadableFileName(entry.Name));
    name->setData(entry.Name, kNameRole);
    name->setData(entry.Folder, kFolderRole);
    auto* size = new QStandardItem(
        entry.Folder ? QString()
                     : german.formattedDataSize(entry.Size, 1, QLocale::DataSizeTraditionalFormat));
    size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* modified = new QStandardItem(
        german.toString(QDateTime::fromSecsSinceEpoch(entry.Modified), QLocale::ShortFormat));
    model_->appendRow({name, size, modified});
  }
  view_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  view_->header()->setStretchLastSection(false);
  view_->resizeColumnToContents(1);
  view_->resizeColumnToContents(2);
  // The name chosen stays chosen while it is listed.
  for (int row = 0; row < model_->rowCount() && !picked_.isEmpty(); ++row)
    if (model_->item(row)->data(kNameRole).toString() == picked_)
      view_->setCurrentIndex(model_->index(row, 0));
}

QStringList TOpenFileDialog::listedNames() const {
  QStringList names;
  for (int row = 0; row < model_->rowCount(); ++row) names << model_->item(row)->text();
  return names;
}

void TOpenFileDialog::pick(const QModelIndex& index) {
  if (!index.isValid()) return;
  const QModelIndex name = index.siblingAtColumn(0);
  if (name.data(kFolderRole).toBool()) return;
  picked_ = name.data(kNameRole).toString();
  pickedShown_ = name.data().toString();
  name_->setText(pickedShown_);
}

void TOpenFileDialog::activate(const QModelIndex& index) {
  const QModelIndex name = index.siblingAtColumn(0);
  if (!name.data(kFolderRole).toBool()) return accept();
  setDirectory(join(name.data(kNameRole).toString()));
  name_->clear();
}

QString TOpenFileDialog::join(const QString& name) const {
  if (name.startsWith(QLatin1Char('/'))) return name;
  return folder_.endsWith(QLatin1Char('/')) ? folder_ + name : folder_ + QLatin1Char('/') + name;
}

void TOpenFileDialog::selectFile(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  setDirectory(slash < 0 ? folder_ : ParentOf(path));
  const QString name = slash < 0 ? path : path.mid(slash + 1);
  picked_ = name;
  pickedShown_ = ReadableFileName(name);
  name_->setText(pickedShown_);
  fill();
}

QString TOpenFileDialog::selectedFile() const {
  const QString typed = name_->text();
  if (typed.isEmpty()) return {};
  // The name shown for an entry stands for its bytes; anything else typed is taken as typed.
  return join(!picked_.isEmpty() && typed == pickedShown_ ? picked_ : typed);
}

void TOpenFileDialog::accept() {
  const QModelIndex current = view_->currentIndex();
  const bool onFolder = current.isValid() && current.siblingAtColumn(0).data(kFolderRole).toBool();
  // Enter on a folder in the list enters it, whatever name was offered before.
  if (onFolder && view_->hasFocus()) return activate(current);
  const QString chosen = selectedFile();
  if (chosen.isEmpty()) {
    if (onFolder) activate(current);
    return;
  }
  struct stat info {};
  // A folder typed or chosen is entered, not opened.
  if (stat(FileNameToBytes(chosen).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    setDirectory(chosen);
    name_->clear();
    return;
  }
  QDialog::accept();
}

}  // namespace quandel
