#pragma once
// Modal message boxes as the core asks for them; the desktop program shows
// them as dialogs, the command-line tool prints them.
#include <string>

namespace tivolan {

enum class BoxIcon { None, Error, Warning, Information };

struct MessageBox {
  std::string caption;
  std::string text;  // lines separated by "\r\n"
  BoxIcon icon = BoxIcon::Error;
  std::string detail = {};  // what exactly is wrong, shown below the text
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Returns once the user has dismissed the box.
  virtual void Show(const MessageBox& box) = 0;
  // A question with Yes and No buttons; true for Yes.
  virtual bool AskYesNo(const MessageBox& box) = 0;
};

// For work nobody watches (a listing built on a copy): shows nothing,
// answers No.
class SilentPrompter final : public Prompter {
 public:
  void Show(const MessageBox&) override {}
  bool AskYesNo(const MessageBox&) override { return false; }
};

}  // namespace tivolan
