#pragma once
#include <QWidget>
#include <functional>

namespace tivolan {

// A tab of the page control whose page is built the first time the tab is
// shown (or the page is asked for): a window starts with only the page it
// shows, and a page nobody opens costs nothing.
class PageSlot final : public QWidget {
 public:
  using Builder = std::function<QWidget*(QWidget* slot)>;
  PageSlot(QWidget* parent, Builder build);
  // The page, built now if it was not yet.
  QWidget* Page();
  bool Built() const { return page_ != nullptr; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  Builder build_;
  QWidget* page_ = nullptr;
};

}  // namespace tivolan
