#include "platform/rtf/RtfContentFlow.h"

namespace rtf {

void ContentFlow::noteContent(bool paragraphOpen) {
    if (m_recording)
        return;
    m_bodyStarted = true;
    m_bodyOpen = paragraphOpen;
}

void ContentFlow::beginSideContent(bool header) {
    m_sideIsHeader = header;
    m_recording = &m_sideContent;
}

void ContentFlow::endSideContent(const ParaState& para, const CharState& chars) {
    m_sideContent.closeParagraph(para, chars);
    m_recording = nullptr;
    if (m_sideIsHeader && !m_bodyStarted) {
        // Not yet body: the section's other headers come here too.
        m_sideContent.replay(m_sink);
        m_sideContent.clear();
    } else {
        m_sideContent.moveTo(m_trailing);
    }
}

void ContentFlow::beginListNumber() {
    m_listNumber.clear();
    m_recordingBeforeList = m_recording;
    m_recording = &m_listNumber;
    m_readingListNumber = true;
}

void ContentFlow::endListNumber() {
    m_recording = m_recordingBeforeList;
    m_readingListNumber = false;
}

void ContentFlow::placeListNumber(ListStyle list) {
    if (list == ListStyle::None) {
        m_listNumber.replay(out());
        noteContent(true);
    }
    m_listNumber.clear();
}

void ContentFlow::finish(const ParaState& para, const CharState& chars) {
    if (m_readingListNumber)
        endListNumber();
    if (m_recording == &m_sideContent)
        endSideContent(para, chars);
    if (!m_trailing.isEmpty()) {
        if (m_bodyOpen)
            m_sink.endParagraph(para, chars);
        m_trailing.replay(m_sink);
        m_trailing.clear();
    }
    m_sink.finish(para);
}

} // namespace rtf
