#include "app/UserDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace dunstrel {

namespace {

// A message box that shows its text as it is: the names of files in it may hold anything, markup
// among it.
QMessageBox::StandardButton ShowBox(QWidget* Owner, QMessageBox::Icon Icon, const QString& Text,
                                    QMessageBox::StandardButtons Buttons,
                                    QMessageBox::StandardButton Default) {
  QMessageBox Box(Icon, QCoreApplication::applicationName(), Text, Buttons, Owner);
  Box.setTextFormat(Qt::PlainText);
  Box.setDefaultButton(Default);
  return static_cast<QMessageBox::StandardButton>(Box.exec());
}

class TMessageBoxDialogs final : public IUserDialogs {
 public:
  void ShowError(QWidget* Owner, const QString& Text) override {
    ShowBox(Owner, QMessageBox::Critical, Text, QMessageBox::Ok, QMessageBox::Ok);
  }

  void ShowInformation(QWidget* Owner, const QString& Text) override {
    ShowBox(Owner, QMessageBox::Information, Text, QMessageBox::Ok, QMessageBox::Ok);
  }

  bool AskYesNo(QWidget* Owner, const QString& Text, bool Warning) override {
    // Enter, or a stray key, answers No: a removal needs a deliberate Yes.
    return ShowBox(Owner, Warning ? QMessageBox::Warning : QMessageBox::Question, Text,
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  }

  std::optional<QString> PickFolder(QWidget* Owner, const QString& Caption,
                                    const QString& StartFolder) override {
    const QString Chosen = QFileDialog::getExistingDirectory(Owner, Caption, StartFolder);
    if (Chosen.isEmpty()) {
      return std::nullopt;
    }
    return Chosen;
  }

  std::optional<QString> PickSaveFile(QWidget* Owner, const QString& Caption,
                                      const QString& Filter) override {
    const QString Chosen = QFileDialog::getSaveFileName(Owner, Caption, QString(), Filter);
    return Chosen.isEmpty() ? std::nullopt : std::optional<QString>(Chosen);
  }

  std::optional<QString> PickOpenFile(QWidget* Owner, const QString& Caption,
                                      const QString& Filter) override {
    const QString Chosen = QFileDialog::getOpenFileName(Owner, Caption, QString(), Filter);
    return Chosen.isEmpty() ? std::nullopt : std::optional<QString>(Chosen);
  }
};

}  // namespace

std::unique_ptr<IUserDialogs> CreateUserDialogs() {
  return std::make_unique<TMessageBoxDialogs>();
}

}  // namespace dunstrel
