#include "app/UserDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace dunstrel {

namespace {

class TMessageBoxDialogs final : public IUserDialogs {
 public:
  void ShowError(QWidget* Owner, const QString& Text) override {
    QMessageBox::critical(Owner, QCoreApplication::applicationName(), Text);
  }

  void ShowInformation(QWidget* Owner, const QString& Text) override {
    QMessageBox::information(Owner, QCoreApplication::applicationName(), Text);
  }

  bool AskYesNo(QWidget* Owner, const QString& Text, bool Warning) override {
    const QString Title = QCoreApplication::applicationName();
    const auto Buttons = QMessageBox::Yes | QMessageBox::No;
    const QMessageBox::StandardButton Answer =
        Warning ? QMessageBox::warning(Owner, Title, Text, Buttons, QMessageBox::No)
                : QMessageBox::question(Owner, Title, Text, Buttons, QMessageBox::No);
    return Answer == QMessageBox::Yes;
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
