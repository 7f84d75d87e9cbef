#pragma once

#include "rtf/RtfContentSink.h"
#include "rtf/RtfRecording.h"

namespace rtf {

// Where the reader's content goes: to the sink as it comes, or aside for now.
//
// A list number written as text (\listtext) is held until its paragraph's content starts: it
// counts only when the paragraph is not in a list the document draws itself.
class ContentFlow {
public:
    explicit ContentFlow(ContentSink& sink) : m_sink(sink) {}

    ContentSink& out() { return m_readingListNumber ? m_listNumber : m_sink; }

    void beginListNumber();
    void endListNumber();
    bool holdsListNumber() const { return !m_listNumber.isEmpty() && !m_readingListNumber; }
    // Sends the held number to out() unless `list` draws it; forgets it either way.
    void placeListNumber(ListStyle list);

    // The body is over.
    void finish(const ParaState& para);

private:
    ContentSink& m_sink;
    Recording m_listNumber;
    bool m_readingListNumber = false;
};

} // namespace rtf
