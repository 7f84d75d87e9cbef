#pragma once

class MainFrame;
class UnsavedWork;

namespace Startup {
// Offers back the unsaved work runs that are gone left behind, once the frame is up: Recover
// opens each copy in a window of its own (at most recoveredAtOnce, the rest wait for the next
// start), changed and named as its document was; Discard moves them out of the way for a week.
// Copies that cannot be read are set aside and named. A copy naming its file other than in full
// comes back as a new document. When this run keeps no copies (its folder was refused), the
// user is told so here, once.
void offerKeptWork(MainFrame& frame, UnsavedWork& work);
} // namespace Startup
