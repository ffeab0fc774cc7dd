#include "app/SourcePanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "app/UserDialogs.h"
#include "app/WindowSettings.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "views/Named.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

// The raw bytes of a drive root live in the item's data, as its shown text may have lost some.
constexpr int kRawPathRole = Qt::UserRole;

}  // namespace

TSourcePanel::TSourcePanel(IUserDialogs& Dialogs, const platform::IVolumes& Volumes,
                           QWidget* Parent)
    : QGroupBox(Parent), FDialogs(Dialogs), FVolumes(Volumes) {
  setObjectName(QStringLiteral("gbSource"));
  auto* Layout = new QHBoxLayout(this);
  Layout->setContentsMargins(8, 2, 8, 4);
  rbAllDrives = Named(new QRadioButton(this), "rbAllDrives");
  rbAllDrives->setChecked(true);
  rbCustomPath = Named(new QRadioButton(this), "rbCustomPath");
  cmbCustomPath = Named(new QComboBox(this), "cmbCustomPath");
  cmbCustomPath->setEditable(true);
  cmbCustomPath->setInsertPolicy(QComboBox::NoInsert);
  // Room for a short path even in the narrowest window.
  cmbCustomPath->setMinimumContentsLength(12);
  cmbCustomPath->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  btnBrowse = Named(new QPushButton(this), "btnBrowse");
  Layout->addWidget(rbAllDrives);
  Layout->addWidget(rbCustomPath);
  Layout->addWidget(cmbCustomPath, 1);
  Layout->addWidget(btnBrowse);
  connect(rbAllDrives, &QRadioButton::clicked, this, &TSourcePanel::EnableFields);
  connect(rbCustomPath, &QRadioButton::clicked, this, &TSourcePanel::EnableFields);
  connect(btnBrowse, &QPushButton::clicked, this, &TSourcePanel::Browse);
  // Enter in the path box scans, as it would search in a search box.
  connect(cmbCustomPath->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    if (!FScanning) {
      Q_EMIT ScanRequested();
    }
  });
  FillDriveList();
  EnableFields();
  ApplyTranslation();
}

std::vector<std::string> TSourcePanel::Drives() const {
  std::vector<std::string> Drives = FVolumes.LocalDriveRoots();
  std::erase_if(Drives, [](const std::string& Root) { return !platform::DirectoryExists(Root); });
  return Drives;
}

void TSourcePanel::FillDriveList() {
  const QSignalBlocker Quiet(cmbCustomPath);
  cmbCustomPath->clear();
  std::vector<std::string> Paths = FHistory;
  for (std::string& Root : Drives()) {
    if (std::find(Paths.begin(), Paths.end(), Root) == Paths.end()) {
      Paths.push_back(std::move(Root));
    }
  }
  for (const std::string& Path : Paths) {
    cmbCustomPath->addItem(ShownText(Path), QByteArray::fromStdString(Path));
  }
  if (cmbCustomPath->count() > 0) {
    cmbCustomPath->setCurrentIndex(0);
  }
}

std::string TSourcePanel::TypedPath() const {
  const QString Typed = cmbCustomPath->currentText().trimmed();
  const int Index = cmbCustomPath->findText(Typed);
  if (Index >= 0) {
    return cmbCustomPath->itemData(Index, kRawPathRole).toByteArray().toStdString();
  }
  return Typed.toStdString();
}

std::optional<TScanSource> TSourcePanel::ReadSource() {
  TScanSource Source;
  Source.AllDrives = !rbCustomPath->isChecked();
  if (Source.AllDrives) {
    Source.Drives = Drives();
    if (Source.Drives.empty()) {
      FDialogs.ShowError(window(), TranslatedText("No drives found."));
      return std::nullopt;
    }
    return Source;
  }
  Source.PathToScan = TypedPath();
  if (Source.PathToScan.empty()) {
    return std::nullopt;
  }
  // "~" is the home folder and a relative path starts at the current folder, as in a shell.
  if (Source.PathToScan.starts_with('~') || !platform::IsAbsolutePath(Source.PathToScan)) {
    Source.PathToScan = platform::ResolveUserFolderPath(Source.PathToScan);
  }
  if (!platform::DirectoryExists(Source.PathToScan)) {
    FDialogs.ShowError(window(), TranslatedText("Folder does not exist."));
    return std::nullopt;
  }
  return Source;
}

TScanExpectation TSourcePanel::Expect(const TScanSource& Source) const {
  TScanExpectation Expected;
  for (const std::string& Drive : Source.Drives) {
    Expected.Bytes += std::max<int64_t>(FVolumes.UsedBytes(Drive).value_or(0), 0);
    // The walk counts files and folders as the file systems do; bytes it cannot compare with
    // used space (a sparse file says more than it takes).
    const std::optional<int64_t> Entries = FVolumes.UsedEntries(Drive);
    Expected.Entries = Entries.has_value() && Expected.Entries >= 0
                           ? Expected.Entries + std::max<int64_t>(*Entries, 0)
                           : -1;
  }
  Expected.Entries = std::max<int64_t>(Expected.Entries, 0);
  return Expected;
}

void TSourcePanel::ChooseFolder(const std::string& Path) {
  rbCustomPath->setChecked(true);
  EnableFields();
  cmbCustomPath->insertItem(0, ShownText(Path), QByteArray::fromStdString(Path));
  cmbCustomPath->setCurrentIndex(0);
}

void TSourcePanel::ShowSource(const std::string& Path) {
  (Path.empty() ? rbAllDrives : rbCustomPath)->setChecked(true);
  if (!Path.empty()) {
    cmbCustomPath->setEditText(ShownText(Path));
  }
  EnableFields();
}

bool TSourcePanel::PathChosen() const {
  return rbCustomPath->isChecked();
}

void TSourcePanel::ChoosePath(bool Chosen) {
  (Chosen ? rbCustomPath : rbAllDrives)->setChecked(true);
  EnableFields();
}

void TSourcePanel::SetHistory(std::vector<std::string> Paths) {
  FHistory = std::move(Paths);
  if (FHistory.size() > kPathHistoryLength) {
    FHistory.resize(kPathHistoryLength);
  }
  FillDriveList();
}

void TSourcePanel::Remember(const std::string& Path) {
  std::erase(FHistory, Path);
  FHistory.insert(FHistory.begin(), Path);
  SetHistory(std::move(FHistory));
}

void TSourcePanel::SetScanning(bool Scanning) {
  FScanning = Scanning;
  EnableFields();
}

void TSourcePanel::EnableFields() {
  const bool PathChosen = rbCustomPath->isChecked() && !FScanning;
  cmbCustomPath->setEnabled(PathChosen);
  btnBrowse->setEnabled(PathChosen);
}

void TSourcePanel::Browse() {
  if (!rbCustomPath->isChecked()) {
    return;
  }
  std::string Start = cmbCustomPath->currentText().toStdString();
  if (Start.empty()) {
    Start = platform::WithTrailingDelimiter(platform::CurrentDirectory());
  }
  const QString StartFolder = platform::DirectoryExists(Start) ? ShownText(Start) : QString();
  const std::optional<QString> Chosen =
      FDialogs.PickFolder(window(), QStringLiteral("Select folder to scan"), StartFolder);
  if (Chosen.has_value()) {
    cmbCustomPath->setEditText(ShownText(platform::WithTrailingDelimiter(Chosen->toStdString())));
  }
}

void TSourcePanel::ApplyTranslation() {
  setTitle(TranslatedText("Sources"));
  rbAllDrives->setText(TranslatedText("All Drives"));
  rbCustomPath->setText(TranslatedText("Path:"));
  btnBrowse->setText(TranslatedText("Browse..."));
}

}  // namespace dunstrel
