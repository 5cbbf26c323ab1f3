// The program's manifest, as the loader reads it from the resources.
#include <string>

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::string Manifest() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (!found)
        return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    return data ? std::string(data, SizeofResource(nullptr, found)) : std::string();
}

// Without an execution level a run without the rights to write beside the program is
// virtualised: its log and CSV file land elsewhere and it reports success.
TEST(Manifest, AsksToRunAsTheInvokerWithTheCommonControlsAndPerMonitorResolution) {
    const std::string manifest = Manifest();
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
}

} // namespace
