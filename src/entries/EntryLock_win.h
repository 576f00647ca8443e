#pragma once
#include "base/Handles_win.h"
#include "entries/ListCommands.h"

// EntryLock: re-entrant, held by everything that destroys, replaces, inserts or walks records.
class TEntryLock : public IEntryLock {
public:
    void Acquire() override { cs_.Enter(); }
    void Release() override { cs_.Leave(); }

private:
    TCriticalSection cs_;
};
