#pragma once

class MainFrame;
class UnsavedWork;

namespace Startup {
// Offers back the unsaved work runs that are gone left behind, once the frame is up: Recover
// opens each copy in a window of its own, changed and named as its document was; Discard moves
// them out of the way for a week. Copies that cannot be read are set aside and named.
void offerKeptWork(MainFrame& frame, UnsavedWork& work);
} // namespace Startup
