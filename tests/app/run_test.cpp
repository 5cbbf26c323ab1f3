// The run's own decisions, apart from any window: which requests to end stop a command and
// with what line, and what a command that fails leaves behind.
#include "app/run.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace {

struct EndCase {
    bool interactive, busy;
    Run::EndRequest why;
    bool stops;
    const char* reason;
};

TEST(Run, ARequestToEndStopsOnlyABusyRunAndAnUnattendedOneSaysWhy) {
    const char* close = "ERROR: The run was ended early: the program was asked to close.";
    const char* session = "ERROR: The run was ended early: the Windows session is ending.";
    const EndCase cases[] = {
        {true, false, Run::EndRequest::Close, false, ""},
        {true, true, Run::EndRequest::Close, true, ""}, // as Stop: "Aborted by user."
        {true, true, Run::EndRequest::SessionEnd, false, ""},
        {false, false, Run::EndRequest::Close, false, ""},
        {false, true, Run::EndRequest::Close, true, close},
        {false, true, Run::EndRequest::SessionEnd, true, session},
    };
    for (const EndCase& c : cases) {
        RecordingView view;
        ::Run run;
        run.ShowIn(view);
        run.State().settings.interactive = c.interactive;
        if (c.busy)
            run.EnterBusy();
        EXPECT_EQ(run.RequestEnd(c.why), c.stops) << c.interactive << c.busy;
        EXPECT_EQ(run.State().stop.requested, c.stops);
        EXPECT_EQ(run.State().stop.reason, c.reason);
    }
}

TEST(Run, TheSessionsEndLeavesItsLineOnceAndTheStopDoesNotRepeatIt) {
    RecordingView view;
    ::Run run;
    run.ShowIn(view);
    run.State().settings.interactive = false;
    run.EnterBusy();
    EXPECT_TRUE(run.SessionEnds());
    const std::string line = run.State().stop.reason;
    EXPECT_TRUE(run.Log().EndsWithLine(line));
    EXPECT_THROW(EndByStop(run), SilentAbort);
    EXPECT_EQ(run.Log().Text(), line + "\r\n") << "said once";
}

TEST(Run, ACommandThatFailsIsLoggedAndReportedAndOffersNoDeletion) {
    TempTree tree;
    RecordingView view;
    ::Run run;
    run.ShowIn(view);
    // The log file cannot start where the program directory is gone: an error, not a stop.
    run.State().settings.programDirectory = tree.Root() + "\\gone\\";
    run.State().settings.startDirectory = tree.Root() + "\\";
    run.EnableDelete(); // an earlier scan's list
    run.ScanNow(tree.Root(), 30);
    ASSERT_EQ(view.dialogs.size(), 1u);
    EXPECT_EQ(view.dialogs[0].rfind("Cannot create file", 0), 0u) << view.dialogs[0];
    EXPECT_EQ(view.events, (std::vector<std::string>{"busy", "idle"}));
    EXPECT_TRUE(run.Log().Text().find("Cannot create file") != std::string::npos);
    EXPECT_FALSE(run.Busy());
}

} // namespace
