#pragma once

#include "platform/rtf/RtfContentSink.h"
#include "platform/rtf/RtfRecording.h"

namespace rtf {

// Where the reader's content goes: to the sink as it comes, or aside for now.
//
// Headers and footers come where their section starts. The ones before any body text stay
// there; later headers, and every footer, follow the body, so that no body paragraph is split
// and no word is lost. (This is where a model of headers and footers of their own, shown on
// every page, will take them.)
//
// A list number written as text (\listtext) is held until its paragraph's content starts: it
// counts only when the paragraph is not in a list the document draws itself.
class ContentFlow {
public:
    explicit ContentFlow(ContentSink& sink) : m_sink(sink) {}

    ContentSink& out() { return m_recording ? static_cast<ContentSink&>(*m_recording) : m_sink; }
    // Content went to out(); `paragraphOpen` tells whether its paragraph has no mark yet.
    void noteContent(bool paragraphOpen);

    void beginSideContent(bool header);
    // `para` and `chars` end a last paragraph the header or footer left without a mark.
    void endSideContent(const ParaState& para, const CharState& chars);

    void beginListNumber();
    void endListNumber();
    bool holdsListNumber() const { return !m_listNumber.isEmpty() && !m_readingListNumber; }
    // Sends the held number to out() unless `list` draws it; forgets it either way.
    void placeListNumber(ListStyle list);

    // The body is over: what follows it goes after its last paragraph.
    void finish(const ParaState& para, const CharState& chars);

private:
    ContentSink& m_sink;
    Recording* m_recording = nullptr;
    Recording m_sideContent;
    bool m_sideIsHeader = false;
    Recording m_trailing; // what follows the body
    Recording m_listNumber;
    Recording* m_recordingBeforeList = nullptr;
    bool m_readingListNumber = false;
    bool m_bodyStarted = false; // content went to the sink
    bool m_bodyOpen = false;    // ... and its last paragraph has content but no mark yet
};

} // namespace rtf
