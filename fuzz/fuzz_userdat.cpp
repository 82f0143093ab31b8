// user.dat from any bytes: reading never fails and reads at most the five values; settings
// read in full are written so that reading them again gives them back.
#include "Cp932.h"
#include "FuzzInput.h"
#include "SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    UserSettings settings;
    const int read = SettingsFile::Parse(in.Rest(), settings);
    FUZZ_CHECK(read >= 0 && read <= 5);
    // The line format has no escape for a quote inside the text.
    if (settings.CommSettings.contains(u'"')) return 0;
    UserSettings again;
    FUZZ_CHECK(SettingsFile::Parse(SettingsFile::Format(settings), again) == 5);
    UserSettings expected = settings;
    expected.CommSettings = Cp932::Decode(Cp932::Encode(settings.CommSettings));
    FUZZ_CHECK(again == expected);
    return 0;
}
