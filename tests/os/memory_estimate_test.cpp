#include "os/MemoryEstimate.h"

#include <gtest/gtest.h>

using MemoryEstimate::Form;

namespace {
constexpr qint64 MB = 1 << 20;
}

// A 50 MB text under a few hundred MB is refused before Qt starts on it; what the factors leave
// room for is read.
TEST(MemoryEstimate, RefusesDocumentsTheLimitCannotHold) {
    const struct {
        Form form;
        qint64 fileBytes;
        std::optional<qint64> left;
        bool fits;
    } cases[] = {
        {Form::PlainText, 50 * MB, 300 * MB, false},     {Form::PlainText, 50 * MB, 500 * MB, true},
        {Form::PlainText, 10 * MB, 79 * MB, false},      {Form::RichText, 10 * MB, 60 * MB, false},
        {Form::RichText, 10 * MB, 90 * MB, true},        {Form::Html, 25 * MB, 200 * MB, false},
        {Form::Html, 25 * MB, 400 * MB, true},           {Form::RichText, 0, 0, true},
        {Form::PlainText, 900 * MB, std::nullopt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.form) << ' ' << c.fileBytes << ' ' << c.left.value_or(-1));
        EXPECT_EQ(MemoryEstimate::fits(MemoryEstimate::documentBytes(c.fileBytes, c.form), c.left),
                  c.fits);
    }
}

TEST(MemoryEstimate, ReadsTheLimitsFromTheKernelsFiles) {
    const QByteArray meminfo = "MemTotal:        8000000 kB\nMemFree:          100 kB\n"
                               "MemAvailable:     512000 kB\nBuffers: 1 kB\n";
    EXPECT_EQ(MemoryEstimate::availableFromMeminfo(meminfo), 512000 * qint64(1024));
    EXPECT_EQ(MemoryEstimate::availableFromMeminfo("MemTotal: 8 kB\n"), std::nullopt);
    EXPECT_EQ(MemoryEstimate::availableFromMeminfo("MemAvailable: lots\n"), std::nullopt);

    EXPECT_EQ(MemoryEstimate::cgroupLeft("max\n", "1000\n"), std::nullopt);
    EXPECT_EQ(MemoryEstimate::cgroupLeft("536870912\n", "36870912\n"), 500000000);
    EXPECT_EQ(MemoryEstimate::cgroupLeft("1000\n", "5000\n"), 0);
    EXPECT_EQ(MemoryEstimate::cgroupLeft("", ""), std::nullopt);

    EXPECT_EQ(MemoryEstimate::cgroupPath("0::/user.slice/session-2.scope\n"),
              "/user.slice/session-2.scope");
    EXPECT_EQ(MemoryEstimate::cgroupPath("12:memory:/docker/x\n0::/\n"), "/");
    EXPECT_EQ(MemoryEstimate::cgroupPath("12:memory:/docker/x\n"), "");
    EXPECT_EQ(MemoryEstimate::cgroupPath("0::/a/../../etc\n"), "");

    EXPECT_EQ(MemoryEstimate::addressSpaceLeft(500'000'000, "25000 9000 3000 1 0 20000 0\n", 4096),
              500'000'000 - 25000 * qint64(4096));
    EXPECT_EQ(MemoryEstimate::addressSpaceLeft(1000, "25000 9000\n", 4096), 0);
    EXPECT_EQ(MemoryEstimate::addressSpaceLeft(1000, "", 4096), 0);
}
