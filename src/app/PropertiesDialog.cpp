#include "app/PropertiesDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMimeDatabase>
#include <QVBoxLayout>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "results/ValueFormat.h"
#include "scan/ScanTree.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

QString TypeText(const std::string& Path, bool IsFolder) {
  const QMimeDatabase Types;
  const QMimeType Type = IsFolder ? Types.mimeTypeForName(QStringLiteral("inode/directory"))
                                  : Types.mimeTypeForFile(ShownText(platform::LastComponent(Path)),
                                                          QMimeDatabase::MatchExtension);
  return Type.comment();
}

}  // namespace

QWidget* ShowPropertiesDialog(const std::string& Path, QWidget* Owner,
                              const TFormatSettings& Settings) {
  auto* Dialog = new QDialog(Owner);
  Dialog->setObjectName(QStringLiteral("frmProperties"));
  Dialog->setAttribute(Qt::WA_DeleteOnClose);
  Dialog->setWindowTitle(ShownText(platform::LastComponent(Path)));
  auto* Fields = new QFormLayout;
  const auto AddField = [&](const char* Caption, const QString& Value) {
    auto* ValueLabel = new QLabel(Value);
    ValueLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Fields->addRow(TranslatedText(Caption), ValueLabel);
  };
  AddField("Name:", ShownText(platform::LastComponent(Path)));
  AddField("Folder:", ShownText(platform::ParentPath(Path)));
  if (const std::optional<platform::TEntryInfo> Info = platform::GetEntryInfo(Path)) {
    if (!Info->IsDirectory) {
      AddField("Size:", QString::fromStdString(FormatSize(Info->Size, Settings)));
    }
    AddField("Modified:", QString::fromStdString(FormatDateTimeText(
                              FileTimeToLocalDateTime(Info->Modified), Settings)));
    AddField("Type:", TypeText(Path, Info->IsDirectory));
  } else {
    AddField("Type:", TranslatedText("Not found"));
  }
  auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  QObject::connect(Buttons, &QDialogButtonBox::rejected, Dialog, &QDialog::close);
  auto* Layout = new QVBoxLayout(Dialog);
  Layout->addLayout(Fields);
  Layout->addWidget(Buttons);
  Dialog->show();
  return Dialog;
}

}  // namespace dunstrel
