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
    // Windows 8.1 to 11 run a program that does not name them as for Vista.
    for (const char* id :
         {"{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find("<supportedOS Id=\"" + std::string(id) + "\"/>"), std::string::npos)
            << id;
}

} // namespace
