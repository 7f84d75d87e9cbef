#include "rtf/RtfContentFlow.h"

namespace rtf {

void ContentFlow::beginListNumber() {
    m_listNumber.clear();
    m_readingListNumber = true;
}

void ContentFlow::endListNumber() {
    m_readingListNumber = false;
}

void ContentFlow::placeListNumber(ListStyle list) {
    if (list == ListStyle::None)
        m_listNumber.replay(out());
    m_listNumber.clear();
}

void ContentFlow::finish(const ParaState& para) {
    if (m_readingListNumber)
        endListNumber();
    m_sink.finish(para);
}

} // namespace rtf
