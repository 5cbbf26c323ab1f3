// One run of an installation at a time. Its records (log, CSV file, settings) sit beside the
// executable, so a scheduled job while the window is open, or two jobs at the same hour,
// would replace each other's files. The second run refuses and touches none of them.
//
// The lock is a file beside the program, opened without sharing and deleted when its handle
// closes (also when the process is killed), so only someone who can change the installation
// can hold it: a name in the object namespace, which any user can take, would let anyone stop
// every scheduled run.
#pragma once
#include <string>

#include "fs/unique_handle.h"

class RunLock {
  public:
    enum Outcome {
        Held,     // this run holds it until this object goes
        OtherRun, // another run of this installation holds it
        NotHeld,  // it cannot be made here (the folder cannot be written): no run can hold it,
                  // and this one's records fail as they would without it
    };
    Outcome Acquire(const std::string& programDirectory);

  private:
    FileHandle file_;
};

// What a refused run says: a dialog where someone can see it, else the one line of
// kRefusedFileName.
extern const char kOtherRunText[];
