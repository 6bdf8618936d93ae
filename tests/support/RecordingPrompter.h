#pragma once
#include <functional>
#include <vector>

#include "model/Prompter.h"

namespace tivolan::test {

// Records every box; questions get the prepared answer.
class RecordingPrompter final : public Prompter {
 public:
  void Show(const MessageBox& box) override {
    shown.push_back(box);
    if (onShow) onShow(box);
  }
  bool AskYesNo(const MessageBox& box) override {
    asked.push_back(box);
    return answer;
  }
  std::vector<MessageBox> shown;
  std::vector<MessageBox> asked;
  bool answer = true;
  std::function<void(const MessageBox&)> onShow;  // what else to note as a box comes up
};

}  // namespace tivolan::test
