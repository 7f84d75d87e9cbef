#include "suite/HelpViewer.h"

#include "platform/Desktop.h"
#include "platform/Error.h"
#include "suite/FileLocator.h"
#include "suite/ReportError.h"

namespace Common {

void StartHelp() {
    Desktop& desktop = DesktopSeam::current();
    const QString folder = desktop.programDirectory();
    const QString viewer = LocateFile(folder + QStringLiteral("/help.exe"));
    const QString document = LocateFile(folder + QStringLiteral("/help/qlet.hpt"));
    if (!desktop.startProgram(viewer, {document}))
        ReportError(Error::withNumber(Error::FileNotFound));
}

} // namespace Common
