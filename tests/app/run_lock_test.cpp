// The hold one run has on its installation, on real files: a second hold is refused while
// the first lasts and granted once it is gone; and what killed runs left beside the program
// goes, while nothing else does.
#include "app/run_lock.h"
#include "command/own_files.h"
#include "command/run_state.h"
#include "support/temp_tree.h"

#include <memory>

#include <gtest/gtest.h>

namespace {

TEST(RunLock, ASecondHoldIsRefusedWhileTheFirstLastsAndGrantedOnceItIsGone) {
    TempTree program;
    const std::string directory = program.Root() + "\\";
    auto first = std::make_unique<RunLock>();
    ASSERT_EQ(first->Acquire(directory), RunLock::Held);
    RunLock second;
    EXPECT_EQ(second.Acquire(directory), RunLock::OtherRun);
    EXPECT_EQ(second.Acquire(directory), RunLock::OtherRun) << "asking again changes nothing";
    first.reset();
    EXPECT_FALSE(program.Exists(kLockFileName)) << "the lock file goes with its holder";
    EXPECT_EQ(second.Acquire(directory), RunLock::Held);
    TempTree other;
    RunLock elsewhere;
    EXPECT_EQ(elsewhere.Acquire(other.Root() + "\\"), RunLock::Held) << "another installation";
}

TEST(RunLock, ALockFileThatNoRunHoldsIsTakenOverAndAFolderOfThatNameStopsNoRun) {
    TempTree program;
    const std::string directory = program.Root() + "\\";
    program.File(kLockFileName, 1); // left by a power cut: no handle holds it
    RunLock lock;
    EXPECT_EQ(lock.Acquire(directory), RunLock::Held);
    TempTree squatted;
    squatted.Directory(kLockFileName);
    RunLock run;
    EXPECT_EQ(run.Acquire(squatted.Root() + "\\"), RunLock::NotHeld)
        << "a name it cannot take refuses no run; the records meet the same folder";
}

TEST(OwnLeftovers, OnlyTheProgramsOwnNewFilesGo) {
    TempTree program, outside;
    outside.File("victim.txt", 1, 0, "keep");
    const char* leftovers[] = {"VantrellFiles.csv.1a2-0.new", "Vantrell.ini.3-f.new",
                               "vantrellactivity.log.BEEF-1.NEW"};
    const char* others[] = {"VantrellFiles.csv.new",     "VantrellFiles.csv.12.new",
                            "VantrellFiles.csv.1-x.new", "Other.csv.1-0.new",
                            "VantrellFiles.csv",         "Vantrell.exe.1-0.new"};
    for (const char* name : leftovers)
        program.File(name, 1);
    for (const char* name : others)
        program.File(name, 1);
    program.Directory("VantrellFiles.csv.2-0.new");
    const std::string link = program.Path("Vantrell.ini.4-0.new");
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), outside.Path("victim.txt").c_str(), nullptr));
    RemoveLeftovers(program.Root() + "\\");
    for (const char* name : leftovers)
        EXPECT_FALSE(program.Exists(name)) << name;
    for (const char* name : others)
        EXPECT_TRUE(program.Exists(name)) << name;
    EXPECT_TRUE(program.Exists("VantrellFiles.csv.2-0.new")) << "a folder is none of its files";
    EXPECT_FALSE(program.Exists("Vantrell.ini.4-0.new")) << "its name goes";
    EXPECT_EQ(ReadWholeFile(outside.Path("victim.txt")), "keep") << "what it named stays";
}

} // namespace
