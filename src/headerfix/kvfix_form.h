// The header fix window: one image's header and its magnified picture.
#pragma once

#include <QWidget>

namespace pelgrin {

struct AppContext;

class TKVFix : public QWidget {
  Q_OBJECT

 public:
  explicit TKVFix(AppContext& ctx);

 private:
  void FormCreate();

  AppContext& ctx_;
};

}  // namespace pelgrin
