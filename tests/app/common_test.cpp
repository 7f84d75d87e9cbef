#include "app/Common.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CommonIni, ValuesAreCappedAndWritesNeverThrow) {
    QTemporaryDir folder;
    const QString path = folder.filePath("multi.ini");
    const QString longValue(300, u'7');
    EXPECT_TRUE(Common::WriteIniValue("SIZE", "qlet_Width", longValue, path));
    EXPECT_EQ(Common::GetIniValue("SIZE", "qlet_Width", path), longValue.left(254));
    EXPECT_FALSE(Common::WriteIniValue("SIZE", "qlet_Top", "1", folder.filePath("x/multi.ini")));
}

} // namespace
