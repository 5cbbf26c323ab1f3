// One run of an installation at a time. Its records (log, CSV file, settings) sit beside the
// executable, so a scheduled job while the window is open, or two jobs at the same hour,
// would replace each other's files. The second run refuses and touches none of them.
#pragma once
#include <string>

#include "fs/unique_handle.h"

class RunLock {
  public:
    // True when no other run of the program in `programDirectory` holds the lock; it is then
    // held until this object goes (a run that ends in any way lets it go with its process).
    bool Acquire(const std::string& programDirectory);

  private:
    FileHandle mutex_;
};

// What a refused run says, where someone can see it.
extern const char kOtherRunText[];
