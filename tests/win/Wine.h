#pragma once
// What Wine does differently from Windows, for the tests' skip messages.
namespace tivolan::test {

// ntdll exports wine_get_version under Wine only.
bool RunningUnderWine();

// Windows opens a serial port for one program at a time whatever the share
// mode; Wine's serial layer opens it again.
inline constexpr const char* kWineSharesPorts =
    "Wine opens a COM port a second time though the first open shares nothing; Windows refuses that open "
    "(ERROR_ACCESS_DENIED), which this test checks";

}  // namespace tivolan::test
