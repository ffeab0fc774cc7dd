#pragma once

#include <QString>
#include <memory>
#include <optional>

class QWidget;

namespace dunstrel {

// The window's modal questions and notices. Tests replace them with answers of their own, so
// nothing waits for a person.
class IUserDialogs {
 public:
  virtual ~IUserDialogs() = default;
  // A box with the error icon and one OK button.
  virtual void ShowError(QWidget* Owner, const QString& Text) = 0;
  // A box with the information icon and one OK button.
  virtual void ShowInformation(QWidget* Owner, const QString& Text) = 0;
  // A question with the Yes and No buttons, under the question icon or, for what cannot be
  // undone, the warning icon. True only for Yes; closing the box is No.
  virtual bool AskYesNo(QWidget* Owner, const QString& Text, bool Warning) = 0;
  // The folder picker, opened at StartFolder when that exists; empty when the user cancels.
  virtual std::optional<QString> PickFolder(QWidget* Owner, const QString& Caption,
                                            const QString& StartFolder) = 0;
  // The file pickers for saving (which asks before replacing a file) and for opening, showing
  // the files that match Filter ("Name (*.ext);;..."); empty when the user cancels.
  virtual std::optional<QString> PickSaveFile(QWidget* Owner, const QString& Caption,
                                              const QString& Filter) = 0;
  virtual std::optional<QString> PickOpenFile(QWidget* Owner, const QString& Caption,
                                              const QString& Filter) = 0;
};

std::unique_ptr<IUserDialogs> CreateUserDialogs();

}  // namespace dunstrel
