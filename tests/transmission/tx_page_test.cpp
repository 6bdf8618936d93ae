// The "Передача" page's rules on data, as the window runs them.
#include <gtest/gtest.h>

#include <span>

#include "model/Images.h"
#include "configuration/Configuration.h"
#include "support/RecordingPrompter.h"

namespace tivolan {
namespace {

class TxPage : public ::testing::Test {
 protected:
  void Select(int type) {
    DeviceTypeListChange(data, form, type - 1, prompter, settings);
    InitTxPage(form.tx, data);
  }
  void Kind(const char* text) { bxRTX_TypeCloseUp(form.tx, data, text); }
  TxPageState& page() { return form.tx; }

  SharedData data;
  FormState form;
  test::RecordingPrompter prompter;
  MemorySettingsStore settings;
};

TEST_F(TxPage, KindsPerTypeAndWhatEachShows) {
  Select(1);
  EXPECT_EQ(page().kindItems, (std::vector<std::string>{"Отключено", "VX-518Hn", "GSM-KVT"}));
  EXPECT_FALSE(page().gsmVisible);
  Kind("GSM-KVT");
  EXPECT_EQ(data.ConfigBuffer[38], 2);
  EXPECT_TRUE(page().gsmVisible);
  EXPECT_FALSE(page().netIdVisible);
  EXPECT_FALSE(page().cncGsmOptionsVisible) << "panels never show the concentrator's GSM options";
  Select(2);
  EXPECT_EQ(page().kindItems.back(), "RS-485");
  Kind("RS-485");
  EXPECT_EQ(data.ConfigBuffer[38], 3);
  EXPECT_TRUE(page().netIdVisible);
  EXPECT_FALSE(page().gsmVisible);
  EXPECT_EQ(page().busId, 1);
  edtBusIDChange(page(), data, 5);
  EXPECT_EQ(data.ConfigBuffer[46], 5);
}

// Another kind only hides the GSM settings; a new configuration starts from
// the defaults.
TEST_F(TxPage, GsmKvtChosenAgainKeepsItsSettingsAndANewTypeStartsFromDefaults) {
  Select(2);
  Kind("GSM-KVT");
  ASSERT_TRUE(medtDevNumberExit(page(), data, "1234"));
  bxGrTryCntCloseUp(page().dest, 1, 2);
  chkSMS_OnClick(page(), data, true);
  chkUseGPRScfgClick(page(), data, true);
  ASSERT_FALSE(UpdateAllTXBuffers(data, form));
  EXPECT_EQ(data.DestTX_Buffer.Pack()[0], 0x04);
  EXPECT_EQ(data.DestTX_Buffer.Pack()[1], 0xD2);
  Kind("RS-485");
  Kind("GSM-KVT");
  EXPECT_EQ(page().devNumber, "1234");
  EXPECT_TRUE(page().smsOn && page().gprsOn);
  DeviceTypeListChange(data, form, 1, prompter, settings);
  Kind("GSM-KVT");
  EXPECT_EQ(page().devNumber, "0001");
  EXPECT_EQ(data.DestTX_Buffer.deviceNumber, 1);
  EXPECT_EQ(data.DestTX_Buffer.Pack()[2], 0) << "GPRS off";
  EXPECT_EQ(data.DestTX_Buffer.Pack()[3], 0) << "SMS off";
  EXPECT_FALSE(page().smsOn);
  EXPECT_FALSE(page().smsButtonVisible);
  EXPECT_FALSE(page().gprsOn);
  EXPECT_EQ(page().dest.Row(1).Cell(kColTries), "Выкл.");
  EXPECT_FALSE(page().netIdVisible);
}

TEST_F(TxPage, TheConcentratorsGsmOptionsComeWithGsmKvtConnected) {
  Select(3);
  EXPECT_TRUE(page().cncBoxesVisible);
  EXPECT_FALSE(page().kindVisible);
  EXPECT_FALSE(page().cncGsmOptionsVisible);
  chkCNC_TxGSMClick(page(), data, true);
  EXPECT_EQ(data.ConfigBuffer[10], 1);
  EXPECT_TRUE(page().gsmVisible);
  EXPECT_TRUE(page().cncGsmOptionsVisible);
  chkGSM_ControlEnblClick(page(), data, false);
  chkGSM_CIDTXClick(page(), data, true);
  EXPECT_EQ(data.ConfigBuffer[13], 0);
  EXPECT_EQ(data.ConfigBuffer[14], 1);
  chkCNC_TxTDClick(page(), data, true);
  EXPECT_EQ(data.ConfigBuffer[9], 1);
  chkCNC_TxGSMClick(page(), data, false);
  EXPECT_FALSE(page().gsmVisible);
  EXPECT_FALSE(page().cncGsmOptionsVisible);
  EXPECT_EQ(data.ConfigBuffer[10], 0);
}

TEST_F(TxPage, TheDeviceNumberNeedsFourDigits) {
  Select(1);
  Kind("GSM-KVT");
  for (const char* refused : {"", "12", "123", "12a4", "12345"}) {
    EXPECT_FALSE(medtDevNumberExit(page(), data, refused)) << refused;
    EXPECT_EQ(data.DestTX_Buffer.deviceNumber, 1);
  }
  EXPECT_TRUE(medtDevNumberExit(page(), data, "0007"));
  EXPECT_EQ(data.DestTX_Buffer.Pack()[0], 0x00);
  EXPECT_EQ(data.DestTX_Buffer.Pack()[1], 0x07);
  EXPECT_EQ(DevNumberRefusedBox().text, "Invalid input value.  Use escape key to abandon changes");
}

TEST_F(TxPage, AWriteWithEveryDestinationOffAsksFirst) {
  Select(1);
  EXPECT_FALSE(WriteNeedsConfirmation(data, form)) << "no GSM, no question";
  Kind("GSM-KVT");
  ASSERT_FALSE(UpdateAllTXBuffers(data, form));
  EXPECT_TRUE(WriteNeedsConfirmation(data, form));
  EXPECT_EQ(NoDestinationQuestion().text, "Ни одно направление не включено,\r\nсохранять настройки?");
  EXPECT_EQ(NoDestinationQuestion().caption, "Тиволан");  // the program's name, not another one
  bxGrTryCntCloseUp(page().dest, 4, 1);
  EXPECT_FALSE(WriteNeedsConfirmation(data, form));
}

TEST_F(TxPage, ADestinationTableThatDoesNotFitRefusesTheCommitAndKeepsEveryFrame) {
  Select(1);
  Kind("GSM-KVT");
  ASSERT_FALSE(UpdateAllTXBuffers(data, form));
  for (int r = 1; r <= 5; ++r) {
    bxGrTryCntCloseUp(page().dest, r, 1);
    bxGrTypeCloseUp(page().dest, r, 3);
    page().dest.Row(r).text = std::string(30, 'h');
  }
  const SharedData before = data;
  const auto refused = UpdateAllTXBuffers(data, form);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->caption, "Направления доставки");
  EXPECT_EQ(data.DestTX_Buffer, before.DestTX_Buffer);
  EXPECT_EQ(page().dest.Row(5).text, std::string(30, 'h'));
}

TEST_F(TxPage, TheSmsOptionSwitchesItselfOffWhenNothingWasStored) {
  Select(1);
  Kind("GSM-KVT");
  EXPECT_TRUE(chkSMS_OnClick(page(), data, true)) << "the dialog opens";
  EXPECT_EQ(data.DestTX_Buffer.Pack()[3], 1);
  ASSERT_TRUE(btnSaveExitClick(page().sms, data).close);  // every row "Выключено"
  SmsDialogClosed(page(), data);
  EXPECT_FALSE(page().smsOn);
  EXPECT_FALSE(page().smsButtonVisible);
  EXPECT_EQ(data.DestTX_Buffer.Pack()[3], 0);
}

TEST_F(TxPage, TheGprsOptionSwitchesItselfOffWithBothAccessPointsEmpty) {
  Select(1);
  Kind("GSM-KVT");
  EXPECT_TRUE(chkUseGPRScfgClick(page(), data, true));
  EXPECT_EQ(page().gprs.edtAPN1, TOperators[0].apn) << "both SIMs start from the first preset";
  EXPECT_EQ(page().gprs.edtAPN2, TOperators[0].apn);
  page().gprs.edtAPN1.clear();
  page().gprs.edtAPN2.clear();
  BuildTX_Buffer(page().gprs, data.GprsTX_Buffer);
  GprsDialogClosed(page(), data);
  EXPECT_FALSE(page().gprsOn);
  EXPECT_EQ(data.DestTX_Buffer.Pack()[2], 0);
}

// A device (or file) with the GPRS option on but no access point in its
// block: the page shows none rather than presets nobody chose, and a write
// is refused until the user gives one or switches the option off.
TEST_F(TxPage, AGprsBlockWithoutAccessPointsShowsNoneAndIsNotWritten) {
  Select(1);
  Kind("GSM-KVT");
  data.DestTX_Buffer.gprs = 1;
  data.GprsTX_Buffer = GprsSettings{};
  RefreshControls(data, form);
  EXPECT_TRUE(page().gprsOn);
  EXPECT_EQ(page().gprs.edtAPN1, "");
  EXPECT_EQ(page().gprs.edtAPN2, "");
  const auto refused = UpdateAllTXBuffers(data, form);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->caption, "Параметры GPRS");
  EXPECT_NE(refused->text.find("точка доступа (APN)"), std::string::npos);
  page().gprs.edtAPN2 = "internet";
  EXPECT_FALSE(UpdateAllTXBuffers(data, form));
  EXPECT_FALSE(data.GprsTX_Buffer.NoAccessPoint());
}

// A read or an opened file is shown; showing it must change no byte of the
// image or of the GSM frames.
TEST_F(TxPage, ShowingAGsmConfigurationWritesNothing) {
  Select(3);
  data.ConfigBuffer[10] = 7;
  data.ConfigBuffer[13] = 0;
  data.ConfigBuffer[14] = 1;
  data.DestTX_Buffer.deviceNumber = 4660;
  data.DestTX_Buffer.gprs = 1;
  data.DestTX_Buffer.sms = 1;
  const uint8_t gprs[] = {0x7E, 0x12, 0x57, 0x03, 0x0B, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0, 0x00};
  data.GprsTX_Buffer = GprsSettings::Unpack(std::span(gprs).subspan(4));
  const SharedData before = data;
  RefreshControls(data, form);
  EXPECT_EQ(data.ConfigBuffer, before.ConfigBuffer);
  EXPECT_EQ(data.DestTX_Buffer, before.DestTX_Buffer);
  EXPECT_EQ(data.GprsTX_Buffer, before.GprsTX_Buffer);
  EXPECT_EQ(data.SmsTX_Buffer, before.SmsTX_Buffer);
  EXPECT_TRUE(page().cncTxGsm) << "any byte 10 but 0";
  EXPECT_TRUE(page().gsmCidTx);
  EXPECT_FALSE(page().gsmControl);
  EXPECT_EQ(page().devNumber, "4660");
  EXPECT_TRUE(page().smsOn);
  EXPECT_TRUE(page().smsButtonVisible);
  EXPECT_TRUE(page().gprsButtonVisible);
  EXPECT_EQ(page().gprs.edtAPN1, "internet");
}

}  // namespace
}  // namespace tivolan
