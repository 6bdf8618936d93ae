#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "CommitBench.h"
#include "configuration/FileCommands.h"
#include "link/GsmRecords.h"

namespace tivolan::bench {
namespace {

struct Quiet final : Prompter {
  void Show(const MessageBox&) override {}
  bool AskYesNo(const MessageBox&) override { return true; }
};

// A type 1 panel with every GSM block full: five destinations (phones with
// separators, hosts, a Cyrillic one), eight SMS recipients, both SIMs.
std::string GsmConfigurationText() {
  Quiet quiet;
  SharedData data;
  FormState form;
  NewConfiguration(data, form, kTypePPKP, quiet);
  TxPageState& page = form.tx;
  bxRTX_TypeCloseUp(page, data, "GSM-KVT");
  medtDevNumberExit(page, data, "4660");
  const char* texts[] = {"+7(903)123-45-67", "8 903 765-43-21", "10.0.0.1:24333", "сервер.пример:7000", "+79990001122"};
  for (int r = 1; r <= kDestinations; ++r) {
    bxGrTryCntCloseUp(page.dest, r, 1 + r % 5);
    bxGrTypeCloseUp(page.dest, r, r == 3 || r == 4 ? 3 : 0);
    page.dest.Row(r).text = texts[r - 1];
  }
  chkSMS_OnClick(page, data, true);
  for (int r = 1; r <= kSmsRows; ++r) page.sms.Row(r) = {std::to_string(r), SmsKindList[1], "1", "+7(903)123-45-6" + std::to_string(r)};
  chkUseGPRScfgClick(page, data, true);
  return CommittedConfiguration(data, form, CommitFor::Save).document.SaveToString();
}

// Opened over a program just started, committed for a device, and made the
// frames a write sends; the bytes of the frames, so that nothing is skipped.
std::size_t OpenCommitAndFrame(const std::string& text) {
  Quiet quiet;
  SharedData data;
  FormState form;
  NewConfiguration(data, form, kTypePPKP, quiet);
  if (!OpenConfigurationText(data, form, text, quiet).opened || UpdateAllTXBuffers(data, form)) return 0;
  const auto dest = WriteFrame(data.DestTX_Buffer);
  return (dest ? dest->size() : 0) + WriteFrame(data.GprsTX_Buffer).size() + WriteFrame(data.SmsTX_Buffer).size();
}

}  // namespace

int CommitBench(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
  const std::string text = GsmConfigurationText();
  std::vector<double> us;
  std::size_t bytes = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    bytes = OpenCommitAndFrame(text);
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(us.begin(), us.end());
  std::printf("open, commit and frames of a full GSM configuration (%zu bytes of frames): median %.1f us over %d runs\n",
              bytes, us[us.size() / 2], runs);
  return bytes ? 0 : 1;
}

}  // namespace tivolan::bench
