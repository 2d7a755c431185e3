#pragma once
// The busy cursor over every window while long work runs on the user-interface thread.

namespace sw {

// Shows (true) or takes back (false) the busy cursor; calls nest. Fits report events such as
// TFilePrinter::OnBusy. Does nothing without an application object (command-line use).
void ShowBusyCursor(bool busy);

// The busy cursor for the lifetime of the object, taken back on every way out of the scope.
class TBusyCursor {
public:
    TBusyCursor() { ShowBusyCursor(true); }
    ~TBusyCursor() { ShowBusyCursor(false); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

} // namespace sw
