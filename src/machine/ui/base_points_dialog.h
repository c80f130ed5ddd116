// The base-points dialog: the list of stored points with Go to, Cancel, Add
// and Delete, bound to the core dialog (machine/base_points.h). The list is
// read when the dialog is created and written when it is destroyed.
#pragma once

#include <QDialog>

#include "machine/base_points.h"

class QListWidget;
class QPushButton;

namespace vm::ui {

class BasePointsDialog : public QDialog {
  Q_OBJECT

 public:
  // Binds `form` and runs its FormCreate; the destructor runs FormDestroy.
  explicit BasePointsDialog(TPunkty_bazowe& form, QWidget* parent = nullptr);
  ~BasePointsDialog() override;

  TPunkty_bazowe& form() { return form_; }
  QListWidget* lista() const { return lista_; }
  QPushButton* ustaw() const { return ustaw_; }
  QPushButton* anuluj() const { return anuluj_; }
  QPushButton* dodaj() const { return dodaj_; }
  QPushButton* usun() const { return usun_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Shows the form's list, current item, selection, texts and enable states.
  void Refresh();

  TPunkty_bazowe& form_;
  QListWidget* lista_ = nullptr;
  QPushButton* ustaw_ = nullptr;
  QPushButton* anuluj_ = nullptr;
  QPushButton* dodaj_ = nullptr;
  QPushButton* usun_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace vm::ui
