// The Shp Transfer window: the transfer script grid and its buttons.
#pragma once

#include <QWidget>

namespace pelgrin {

struct AppContext;

class TTransForm : public QWidget {
  Q_OBJECT

 public:
  explicit TTransForm(AppContext& ctx);

 private:
  void FormCreate();

  AppContext& ctx_;
};

}  // namespace pelgrin
